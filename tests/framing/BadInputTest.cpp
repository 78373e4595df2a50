// Kestrova — identity photo maker.
#include "framing/Form1.h"
#include "framing/FramingSession.h"
#include "ProcessMemory.h"

#include "BadPictures.h"
#include "FormControls.h"
#include "TestDoubles.h"
#include "TestPictures.h"
#include "saving/Form2.h"
#include "saving/Module1.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using BadPictures::Outcome;

namespace {

// However hostile the file, opening it may cost no more than this. The largest
// picture the loader allows would need more; no entry in the corpus claims one.
constexpr qint64 kPeakGrowthLimitKb = 600 * 1024;

// Larger than the work area, so a drag moves it off the top-left corner.
constexpr QSize kPreviousSize(403, 607);
constexpr QSize kCaptureSize(120, 180);
// The dialog's quality box starts at 10, which saves at JPEG quality 100.
constexpr int kFirstQuality = 100;
const QString kSavedName = QStringLiteral("08-10-2011_090503.jpg");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// What the save writes for a picture, to compare the dialog's file with.
QByteArray savedBytes(const QImage& picture)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("expected.jpg"));
    if (Module1::saveJpeg(picture, path, kFirstQuality)) {
        return {};
    }
    return readAll(path);
}

/// The main window over test doubles, except that pictures come through the real loader.
struct RealLoaderWindow
{
    FakePlatform platform;
    QtPictureLoader loader;
    QTemporaryDir programDir;
    Services services{platform.clock,    platform.openDialog, loader,
                      platform.urls,     platform.messages,   platform.errors,
                      programDir.path(), TwipsScale{},        platform.faces};
    Form1 form{services};

    QWidget* widget(const char* name) const { return control(form, QString::fromLatin1(name)); }
    void click(const char* name) const { clickControl(form, QString::fromLatin1(name)); }
    void open(const QString& path) { openThroughDialog(form, platform.openDialog, path); }
};

PhotoGeometry naturalPlacement(QSize pixels)
{
    const TwipsScale tpp;
    return PhotoGeometry{0, 0, tpp.toTwipsX(pixels.width()), tpp.toTwipsY(pixels.height()), false};
}

QString describe(const PhotoGeometry& g)
{
    return QStringLiteral("(%1, %2, %3 x %4, stretch %5)")
        .arg(g.left)
        .arg(g.top)
        .arg(g.width)
        .arg(g.height)
        .arg(g.stretch);
}

} // namespace

class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void openingAnyFileEndsQuietlyAndLeavesTheWindowWorking_data();
    void openingAnyFileEndsQuietlyAndLeavesTheWindowWorking();
    void runLengthBmpShowsFirstPaletteColourWhereItWritesNothing_data();
    void runLengthBmpShowsFirstPaletteColourWhereItWritesNothing();

private:
    QTemporaryDir m_corpusDir;
    QString m_previous;
};

void BadInputTest::initTestCase()
{
    QVERIFY(m_corpusDir.isValid());
    QVERIFY(QDir(m_corpusDir.path()).mkdir(QStringLiteral("previous")));
    m_previous = TestPictures::writeFile(
        QDir(m_corpusDir.filePath(QStringLiteral("previous"))), QStringLiteral("previous.jpg"),
        TestPictures::jpegFile(TestPictures::photoLike(kPreviousSize)));
}

void BadInputTest::openingAnyFileEndsQuietlyAndLeavesTheWindowWorking_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QSize>("size");
    const QDir dir(m_corpusDir.path());
    QSet<QString> names;
    for (const BadPictures::Entry& entry : BadPictures::corpus()) {
        QVERIFY2(!names.contains(entry.name), qPrintable(entry.name));
        names.insert(entry.name);
        QTest::newRow(qPrintable(entry.name))
            << BadPictures::create(dir, entry) << entry.outcome << entry.size;
    }
    QTest::newRow("missing file") << dir.filePath(QStringLiteral("nowhere/absent.jpg"))
                                  << Outcome::Refused << QSize();
    QTest::newRow("missing file named like a directory")
        << dir.filePath(QStringLiteral("absent.jpg/")) << Outcome::Refused << QSize();
}

void BadInputTest::openingAnyFileEndsQuietlyAndLeavesTheWindowWorking()
{
    QFETCH(QString, path);
    QFETCH(Outcome, outcome);
    QFETCH(QSize, size);

    // Once into a window with no picture yet, once over a picture zoomed and dragged.
    for (const bool overPicture : {false, true}) {
        const QString when = overPicture ? QStringLiteral("over a picture: ")
                                         : QStringLiteral("into an empty window: ");
        RealLoaderWindow w;
        QVERIFY(w.programDir.isValid());
        w.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        if (overPicture) {
            w.open(m_previous);
            QCOMPARE(w.form.session().photo().naturalSize(), kPreviousSize);
            w.click("Command6");
            QWidget* image1 = w.widget("Image1");
            QTest::mousePress(image1, Qt::LeftButton, {}, QPoint(60, 60));
            QTest::mouseMove(image1, QPoint(20, 30));
            QTest::mouseRelease(image1, Qt::LeftButton, {}, QPoint(20, 30));
            // The zoom and the drag wait for the rest of the photo, then act.
            QTRY_VERIFY(!w.form.session().isWaiting());
            QVERIFY(w.form.session().photoGeometry().left < 0);
        }
        const QSize before = w.form.session().photo().naturalSize();
        // A failed open still takes the previous picture back to its natural size at 0, 0.
        PhotoGeometry kept = w.form.session().photoGeometry();
        if (!before.isEmpty()) {
            kept = naturalPlacement(before);
        }
        kept.left = kept.top = 0;
        kept.stretch = false;

        const qint64 residentBefore = ProcessMemory::statusKb("VmRSS");
        ProcessMemory::resetPeakResident();
        w.open(path);
        const qint64 growth = ProcessMemory::statusKb("VmHWM") - residentBefore;
        QVERIFY2(residentBefore > 0 && growth < kPeakGrowthLimitKb,
                 qPrintable(when + QStringLiteral("peak grew by %1 kB").arg(growth)));

        QVERIFY2(w.platform.messages.shown.isEmpty(), qPrintable(when + "a message was shown"));
        const QSize after = w.form.session().photo().naturalSize();
        const bool refused = after == before;
        switch (outcome) {
        case Outcome::Refused:
            QVERIFY2(
                refused,
                qPrintable(
                    when +
                    QStringLiteral("opened at %1 x %2").arg(after.width()).arg(after.height())));
            break;
        case Outcome::Opens:
            QVERIFY2(!refused, qPrintable(when + "refused"));
            QCOMPARE(after, size);
            break;
        case Outcome::Undecodable:
            QVERIFY2(
                after.isEmpty(),
                qPrintable(
                    when +
                    QStringLiteral("opened at %1 x %2").arg(after.width()).arg(after.height())));
            break;
        case Outcome::Either:
            if (!refused && !after.isEmpty()) {
                QVERIFY2(!after.isEmpty() &&
                             qint64(after.width()) * after.height() <= kMaxPicturePixels,
                         qPrintable(when + QStringLiteral("opened at %1 x %2")
                                               .arg(after.width())
                                               .arg(after.height())));
            }
            break;
        }
        const bool shown = !refused && !after.isEmpty();
        const PhotoGeometry expected = shown ? naturalPlacement(after) : kept;
        QVERIFY2(w.form.session().photoGeometry() == expected,
                 qPrintable(when + describe(w.form.session().photoGeometry()) + " instead of " +
                            describe(expected)));
        const QRect image1 = w.widget("Image1")->geometry();
        QCOMPARE(image1.topLeft(), QPoint(0, 0));
        if (shown) {
            QCOMPARE(image1.size(), after);
        }

        // The window goes on working: a refresh captures, and the capture saves.
        w.click("Command1");
        const QImage capture = w.form.session().capture();
        QCOMPARE(capture.size(), kCaptureSize);
        Form2 dialog(w.services, [&w] { return w.form.session().capture(); });
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QVERIFY2((dialog.result() == QDialog::Accepted),
                 qPrintable(when + "the save did not end the dialog"));
        const QString savedPath = QDir(w.programDir.path()).filePath(kSavedName);
        QImageReader saved(savedPath);
        QCOMPARE(saved.format(), QByteArray("jpeg"));
        QCOMPARE(saved.size(), kCaptureSize);
        // Exactly the capture, encoded: nothing of the bad file leaks into the photo.
        QVERIFY(readAll(savedPath) == savedBytes(capture));
    }
}

void BadInputTest::runLengthBmpShowsFirstPaletteColourWhereItWritesNothing_data()
{
    QTest::addColumn<bool>("fourBit");
    QTest::addColumn<QByteArray>("codes");
    const QByteArray endOfBitmap("\x00\x01", 2);
    QByteArray jumps;
    for (int i = 0; i < 40; ++i) {
        jumps.append("\x00\x02\x10\x10", 4);
    }
    QTest::newRow("RLE8 ending at once") << false << endOfBitmap;
    QTest::newRow("RLE4 ending at once") << true << endOfBitmap;
    QTest::newRow("RLE8 jumping to the end") << false << jumps + endOfBitmap;
    QTest::newRow("RLE8 ending at each line") << false << QByteArray(600, '\0');
}

void BadInputTest::runLengthBmpShowsFirstPaletteColourWhereItWritesNothing()
{
    // Whatever the memory held before must not show through the pixels the
    // codes never reach, nor go on into the capture and the saved photo.
    QFETCH(bool, fourBit);
    QFETCH(QByteArray, codes);
    const QString path =
        TestPictures::writeFile(QDir(m_corpusDir.path()), QStringLiteral("gaps.bmp"),
                                BadPictures::runLengthBmp(kPreviousSize, fourBit, codes));
    RealLoaderWindow w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.open(path);
    QCOMPARE(w.form.session().photo().naturalSize(), kPreviousSize);
    w.click("Command1");
    const QImage capture = w.form.session().capture();
    const QRgb first = BadPictures::runLengthColour(0);
    for (int y = 0; y < capture.height(); ++y) {
        for (int x = 0; x < capture.width(); ++x) {
            if (capture.pixel(x, y) != first) {
                QFAIL(qPrintable(QStringLiteral("pixel %1, %2 is %3")
                                     .arg(x)
                                     .arg(y)
                                     .arg(QColor(capture.pixel(x, y)).name())));
            }
        }
    }
}

QTEST_MAIN(BadInputTest)
#include "BadInputTest.moc"
