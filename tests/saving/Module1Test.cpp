// Kestrova — identity photo maker.
#include "saving/Module1.h"

#include "JpegStructure.h"
#include "PortraitPicture.h"
#include "platform/AppError.h"
#include "saving/OutputFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QImage decodeJpeg(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "jpeg");
    return reader.read();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

/// A file that fails at one chosen step, and takes at most a given number of
/// bytes per write, the way a disk filling up does.
class ScriptedOutputFile final : public OutputFile
{
public:
    enum Step
    {
        Never,
        Open,
        Write,
        Flush,
        Commit,
    };

    Step failAt = Never;
    qint64 bytesPerWrite = 1 << 20;
    qint64 bytesBeforeWriteFails = 0;
    QByteArray written;
    bool committed = false;

    bool open() override { return failAt != Open; }
    qint64 write(QByteArrayView bytes) override
    {
        if (failAt == Write && written.size() >= bytesBeforeWriteFails) {
            return -1;
        }
        const QByteArrayView taken = bytes.first(qMin(bytes.size(), bytesPerWrite));
        written += taken;
        return taken.size();
    }
    bool flush() override { return failAt != Flush; }
    bool commit() override
    {
        committed = failAt != Commit;
        return committed;
    }
};

// Saves and returns the file's bytes, or an empty array after a failed save.
QByteArray saveAndRead(const QTemporaryDir& dir, const QImage& picture, int quality)
{
    const QString path = dir.filePath(QStringLiteral("picture-%1.jpg").arg(quality));
    if (Module1::saveJpeg(picture, path, quality)) {
        return {};
    }
    return readAll(path);
}

} // namespace

class Module1Test : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void writesBaselineJfif420WithHuffmanTablesFittedToThePicture_data();
    void writesBaselineJfif420WithHuffmanTablesFittedToThePicture();
    void writtenFileDecodesCloseToThePicture_data();
    void writtenFileDecodesCloseToThePicture();
    void higherQualityGivesLargerFile();
    void qualityOutsideTheScaleIsClampedAsLibjpegClampsIt_data();
    void qualityOutsideTheScaleIsClampedAsLibjpegClampsIt();
    void earlierSavesDoNotChangeLaterOnes();
    void failedSaveRaisesErrorFiveAndLeavesNoFile_data();
    void failedSaveRaisesErrorFiveAndLeavesNoFile();
    void failedSaveLeavesExistingFileUntouched_data();
    void failedSaveLeavesExistingFileUntouched();
    void successfulSaveReplacesExistingFileWhole();
    void failureAtAnyStepOfTheWriteRaisesErrorFiveUncommitted_data();
    void failureAtAnyStepOfTheWriteRaisesErrorFiveUncommitted();

private:
    QTemporaryDir m_dir;
    QImage m_portrait = portraitPicture();
};

void Module1Test::writesBaselineJfif420WithHuffmanTablesFittedToThePicture_data()
{
    QTest::addColumn<int>("quality");
    QTest::newRow("quality 0") << 0;
    QTest::newRow("quality 10") << 10;
    QTest::newRow("quality 50") << 50;
    QTest::newRow("quality 100") << 100;
}

void Module1Test::writesBaselineJfif420WithHuffmanTablesFittedToThePicture()
{
    QFETCH(int, quality);
    const QByteArray bytes = saveAndRead(m_dir, m_portrait, quality);
    const JpegLayout layout = inspectJpeg(bytes);
    QVERIFY(layout.startsWithSoi);
    QVERIFY(layout.endsWithEoi);
    QVERIFY(layout.hasJfifHeader);
    QCOMPARE(layout.frameMarker, 0xC0);
    QCOMPARE(layout.width, 120);
    QCOMPARE(layout.height, 180);
    QCOMPARE(layout.sampling, QList<int>({0x22, 0x11, 0x11}));
    QCOMPARE(layout.quantisationTables, 2);
    // The standard AC tables hold all 162 symbols; tables built for this
    // picture hold only the symbols it uses.
    QCOMPARE(layout.huffmanSymbolCounts.size(), 4);
    for (const int symbols : layout.huffmanSymbolCounts) {
        QVERIFY2(symbols < 162, qPrintable(QString::number(symbols)));
    }
}

void Module1Test::writtenFileDecodesCloseToThePicture_data()
{
    QTest::addColumn<int>("quality");
    QTest::addColumn<double>("minimumPsnr");
    QTest::newRow("quality 100") << 100 << 35.0;
    QTest::newRow("quality 50") << 50 << 27.0;
}

void Module1Test::writtenFileDecodesCloseToThePicture()
{
    QFETCH(int, quality);
    QFETCH(double, minimumPsnr);
    const QImage decoded = decodeJpeg(saveAndRead(m_dir, m_portrait, quality));
    QCOMPARE(decoded.size(), QSize(120, 180));
    const double measured = psnr(decoded, m_portrait);
    QVERIFY2(measured > minimumPsnr, qPrintable(QStringLiteral("PSNR %1 dB").arg(measured)));
}

void Module1Test::higherQualityGivesLargerFile()
{
    qsizetype previous = 0;
    for (const int quality : {0, 10, 50, 80, 90, 100}) {
        const qsizetype size = saveAndRead(m_dir, m_portrait, quality).size();
        QVERIFY2(size > previous, qPrintable(QStringLiteral("quality %1: %2 bytes after %3")
                                                 .arg(quality)
                                                 .arg(size)
                                                 .arg(previous)));
        previous = size;
    }
}

void Module1Test::qualityOutsideTheScaleIsClampedAsLibjpegClampsIt_data()
{
    QTest::addColumn<int>("quality");
    QTest::addColumn<int>("sameAs");
    QTest::newRow("0 codes as 1") << 0 << 1;
    QTest::newRow("negative codes as 1") << -20 << 1;
    QTest::newRow("101 codes as 100") << 101 << 100;
    QTest::newRow("255 codes as 100") << 255 << 100;
}

void Module1Test::qualityOutsideTheScaleIsClampedAsLibjpegClampsIt()
{
    QFETCH(int, quality);
    QFETCH(int, sameAs);
    const QByteArray clamped = saveAndRead(m_dir, m_portrait, quality);
    QVERIFY(!clamped.isEmpty());
    QCOMPARE(clamped, saveAndRead(m_dir, m_portrait, sameAs));
    // And it is not simply what every quality gives.
    QVERIFY(clamped != saveAndRead(m_dir, m_portrait, 50));
}

void Module1Test::earlierSavesDoNotChangeLaterOnes()
{
    const QString path = m_dir.filePath(QStringLiteral("again.jpg"));
    QVERIFY(!Module1::saveJpeg(m_portrait, path, 90));
    const QByteArray first = readAll(path);
    QImage other(40, 24, QImage::Format_RGB32);
    other.fill(Qt::darkCyan);
    QVERIFY(!Module1::saveJpeg(other, path, 3));
    QCOMPARE(decodeJpeg(readAll(path)).size(), QSize(40, 24));
    QVERIFY(!Module1::saveJpeg(m_portrait, path, 90));
    QCOMPARE(readAll(path), first);
}

void Module1Test::failedSaveRaisesErrorFiveAndLeavesNoFile_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("needsReadOnlyFolder");

    const QString invalid = QStringLiteral("保存图像失败。 GDI+ Error:2");
    const QString osFailure = QStringLiteral("保存图像失败。 GDI+ Error:7");
    QTest::newRow("null picture") << QImage() << "a.jpg" << invalid << false;
    QTest::newRow("empty picture")
        << QImage(0, 180, QImage::Format_RGB32) << "a.jpg" << invalid << false;
    QTest::newRow("folder does not exist") << m_portrait << "missing/a.jpg" << osFailure << false;
    QTest::newRow("folder is a regular file") << m_portrait << "plain/a.jpg" << osFailure << false;
    QTest::newRow("read-only folder") << m_portrait << "locked/a.jpg" << osFailure << true;
    // Wider than JPEG allows: libjpeg itself fails, midway through setting up.
    QTest::newRow("picture too wide for JPEG")
        << QImage(65501, 8, QImage::Format_RGB32) << "a.jpg"
        << QStringLiteral("保存图像失败。 GDI+ Error:1") << false;
}

void Module1Test::failedSaveRaisesErrorFiveAndLeavesNoFile()
{
    QFETCH(QImage, picture);
    QFETCH(QString, relativePath);
    QFETCH(QString, description);
    QFETCH(bool, needsReadOnlyFolder);
    if (needsReadOnlyFolder && ::geteuid() == 0) {
        QSKIP("Folder permissions do not bind the superuser.");
    }
    QTemporaryDir dir;
    writeAll(dir.filePath(QStringLiteral("plain")), "not a folder");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("locked")),
                                  QFile::ReadOwner | QFile::ExeOwner));
    if (!picture.isNull()) {
        picture.fill(Qt::gray);
    }
    const QStringList before = entries(dir.path());

    const std::optional<AppError> error =
        Module1::saveJpeg(picture, dir.filePath(relativePath), 80);
    QVERIFY(error);
    QCOMPARE(error->number(), 5);
    QCOMPARE(error->description(), description);
    QCOMPARE(entries(dir.path()), before);
    QVERIFY(entries(dir.filePath(QStringLiteral("locked"))).isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(relativePath)));
}

void Module1Test::failedSaveLeavesExistingFileUntouched_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("status");

    QTest::newRow("invalid picture") << QImage() << "earlier.jpg" << 2;
    // A name at the file-system limit leaves no room for the temporary file
    // beside it, so the write fails after encoding succeeded.
    const QString longest = QString(251, u'n') + QStringLiteral(".jpg");
    QTest::newRow("no room for the temporary file") << m_portrait << longest << 7;
}

void Module1Test::failedSaveLeavesExistingFileUntouched()
{
    QFETCH(QImage, picture);
    QFETCH(QString, fileName);
    QFETCH(int, status);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    const QByteArray earlier = saveAndRead(dir, m_portrait, 30);
    writeAll(path, earlier);
    const QStringList before = entries(dir.path());

    const std::optional<AppError> error = Module1::saveJpeg(picture, path, 90);
    QVERIFY(error);
    QCOMPARE(error->description(), QStringLiteral("保存图像失败。 GDI+ Error:%1").arg(status));
    QCOMPARE(readAll(path), earlier);
    QCOMPARE(entries(dir.path()), before);
}

void Module1Test::successfulSaveReplacesExistingFileWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("replaced.jpg"));
    // Longer than the new picture, so any leftover tail would show.
    writeAll(path, QByteArray(200000, 'x'));
    QVERIFY(!Module1::saveJpeg(m_portrait, path, 75));
    QCOMPARE(readAll(path), saveAndRead(dir, m_portrait, 75));
    QCOMPARE(entries(dir.path()),
             QStringList({QStringLiteral("picture-75.jpg"), QStringLiteral("replaced.jpg")}));
}

void Module1Test::failureAtAnyStepOfTheWriteRaisesErrorFiveUncommitted_data()
{
    QTest::addColumn<int>("failAt");
    QTest::addColumn<qint64>("bytesPerWrite");
    QTest::addColumn<qint64>("bytesBeforeWriteFails");

    using F = ScriptedOutputFile;
    QTest::newRow("creating the file fails") << int(F::Open) << qint64(1 << 20) << qint64(0);
    QTest::newRow("first write fails") << int(F::Write) << qint64(1 << 20) << qint64(0);
    QTest::newRow("disk fills part way") << int(F::Write) << qint64(512) << qint64(1024);
    QTest::newRow("flush to disk fails") << int(F::Flush) << qint64(1 << 20) << qint64(0);
    QTest::newRow("commit fails") << int(F::Commit) << qint64(1 << 20) << qint64(0);
    QTest::newRow("nothing fails, small writes") << int(F::Never) << qint64(100) << qint64(0);
}

void Module1Test::failureAtAnyStepOfTheWriteRaisesErrorFiveUncommitted()
{
    QFETCH(int, failAt);
    QFETCH(qint64, bytesPerWrite);
    QFETCH(qint64, bytesBeforeWriteFails);
    ScriptedOutputFile file;
    file.failAt = ScriptedOutputFile::Step(failAt);
    file.bytesPerWrite = bytesPerWrite;
    file.bytesBeforeWriteFails = bytesBeforeWriteFails;

    const std::optional<AppError> error = Module1::saveJpeg(m_portrait, file, 80);
    const int number = error ? error->number() : 0;
    const QString raised = error ? error->description() : QString();
    if (file.failAt == ScriptedOutputFile::Never) {
        QCOMPARE(number, 0);
        QVERIFY(file.committed);
        QCOMPARE(file.written, saveAndRead(m_dir, m_portrait, 80));
    } else {
        QCOMPARE(number, 5);
        QCOMPARE(raised, QStringLiteral("保存图像失败。 GDI+ Error:7"));
        QVERIFY(!file.committed);
    }
}

QTEST_MAIN(Module1Test)
#include "Module1Test.moc"
