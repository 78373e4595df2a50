// Kestrova — identity photo maker.
#include "framing/Form1.h"
#include "framing/FramingSession.h"

#include "FormControls.h"
#include "ProcessMemory.h"
#include "TestDoubles.h"
#include "TestPictures.h"
#include "framing/InputShortcuts.h"
#include "platform/PictureLoader.h"

#include <QDir>
#include <QKeyEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

namespace {

QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(90, 60, 30));
    return image;
}

/// The main window over the real picture loader, and a 12 MP JPEG to open in it.
struct LargePhotoWindow
{
    static constexpr QSize kSize{4000, 3000};
    static constexpr qint64 kPixelKb = qint64(kSize.width()) * kSize.height() * 4 / 1024;

    explicit LargePhotoWindow(const FakePlatform& platform)
        : services(platform.withPictures(loader)), form(services)
    {}

    QTemporaryDir dir;
    const QString path =
        TestPictures::writeLargeJpeg(QDir(dir.path()), QStringLiteral("large.jpg"), kSize);
    QtPictureLoader loader;
    Services services;
    Form1 form;
};

} // namespace

// The keyboard, the wheel and drag-and-drop reach the same behaviour as the
// buttons and the open dialog.
class Form1InputTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_platform = std::make_unique<FakePlatform>();
        m_platform->pictures.pictures.insert("/photos/a.jpg", photo(400, 600));
        m_form = std::make_unique<Form1>(m_platform->services);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void cleanup()
    {
        m_form.reset();
        m_platform.reset();
    }

    void wheelSteps_data()
    {
        QTest::addColumn<QList<int>>("deltas");
        QTest::addColumn<QList<int>>("steps");
        QTest::newRow("notches") << QList<int>{120, 120, -120} << QList<int>{1, 1, -1};
        QTest::newRow("high resolution")
            << QList<int>{30, 30, 30, 30, 30} << QList<int>{0, 0, 0, 1, 0};
        QTest::newRow("fast spin") << QList<int>{360} << QList<int>{3};
        QTest::newRow("back and forth") << QList<int>{60, -60, -60, -60} << QList<int>{0, 0, 0, -1};
    }
    void wheelSteps()
    {
        QFETCH(QList<int>, deltas);
        QFETCH(QList<int>, steps);
        WheelSteps wheel;
        QList<int> taken;
        for (int delta : deltas) {
            taken << wheel.add(delta);
        }
        QCOMPARE(taken, steps);
    }

    void wheelZoomsLikeTheButtons()
    {
        open("/photos/a.jpg");
        wheel(widget("Image1"), 120);
        wheel(widget("Image1"), 120);
        wheel(widget("Image1")->parentWidget(), -40);
        wheel(widget("Image1")->parentWidget(), -80);
        const PhotoGeometry byWheel = m_form->session().photoGeometry();
        const QImage wheelCapture = m_form->session().capture();

        open("/photos/a.jpg");
        click("Command6");
        click("Command6");
        click("Command7");
        QCOMPARE(m_form->session().photoGeometry(), byWheel);
        QCOMPARE(m_form->session().capture(), wheelCapture);
    }

    void heldArrowKeyNudgesLikeAHeldButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("button");
        QTest::newRow("right") << int(Qt::Key_Right) << "Command5";
        QTest::newRow("down") << int(Qt::Key_Down) << "Command3";
    }
    void heldArrowKeyNudgesLikeAHeldButton()
    {
        QFETCH(int, key);
        QFETCH(QString, button);
        // The button from (0, 0), seven ticks, released.
        QTest::mousePress(widget(button), Qt::LeftButton);
        tick(7);
        QTest::mouseRelease(widget(button), Qt::LeftButton);
        const FramePosition byButton = m_form->session().framePosition();
        const short direction = m_form->session().nudgeDirection();
        // Back to (0, 0) with the opposite arrow, then the key.
        QTest::mousePress(widget(button == "Command5" ? "Command2" : "Command4"), Qt::LeftButton);
        tick(8);
        QVERIFY(!timer()->isActive());
        QTest::mouseRelease(widget(button == "Command5" ? "Command2" : "Command4"), Qt::LeftButton);

        QWidget* focused = widget("Command1");
        focused->setFocus();
        QTest::keyPress(focused, Qt::Key(key));
        QVERIFY(timer()->isActive());
        QCOMPARE(m_form->session().nudgeDirection(), direction);
        tick(3);
        // Auto-repeat sends release/press pairs while the key is held.
        sendKey(focused, QEvent::KeyRelease, key, true);
        sendKey(focused, QEvent::KeyPress, key, true);
        QVERIFY(timer()->isActive());
        tick(4);
        QTest::keyRelease(focused, Qt::Key(key));
        QVERIFY(!timer()->isActive());
        QCOMPARE(m_form->session().framePosition().left, byButton.left);
        QCOMPARE(m_form->session().framePosition().top, byButton.top);
    }

    void plusEqualsAndMinusZoom()
    {
        open("/photos/a.jpg");
        QTest::keyClick(m_form.get(), Qt::Key_Plus, Qt::ShiftModifier);
        QCOMPARE(m_form->session().photoGeometry().width, 6600.0f);
        QTest::keyClick(m_form.get(), Qt::Key_Equal);
        QCOMPARE(m_form->session().photoGeometry().width, 7260.0f);
        QTest::keyClick(widget("Picture1(0)"), Qt::Key_Minus);
        QCOMPARE(m_form->session().photoGeometry().width, 6534.0f);
        QTest::keyClick(m_form.get(), Qt::Key_Plus, Qt::AltModifier);
        QCOMPARE(m_form->session().photoGeometry().width, 6534.0f);
    }

    void ctrlOOpens()
    {
        m_platform->openDialog.answers = QStringList{"/photos/a.jpg"};
        QTest::keyClick(m_form.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m_platform->openDialog.shown, 1);
        QCOMPARE(m_form->session().photo().naturalSize(), QSize(400, 600));
        QTest::keyClick(m_form.get(), Qt::Key_O);
        QCOMPARE(m_platform->openDialog.shown, 1);
    }

    void dropOpensLikeTheDialog()
    {
        click("Command6");
        drop({QUrl::fromLocalFile("/photos/a.jpg"), QUrl::fromLocalFile("/photos/b.jpg")});
        QCOMPARE(m_form->session().photoGeometry(), (PhotoGeometry{0, 0, 6000, 9000, false}));
        QCOMPARE(m_platform->openDialog.shown, 0);

        click("Command6");
        drop({QUrl::fromLocalFile("/photos/missing.jpg")});
        QCOMPARE(m_form->session().photoGeometry(), (PhotoGeometry{0, 0, 6000, 9000, false}));
        QCOMPARE(m_form->session().photo().naturalSize(), QSize(400, 600));
    }

    void dropOfSomethingElseIsRefused()
    {
        QMimeData mime;
        mime.setText("not a file");
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &enter);
        QVERIFY(!enter.isAccepted());
    }

    void aPhotoHighlightedInTheDialogHasItsMemoryMadeReadyUntilACancel()
    {
        LargePhotoWindow w(*m_platform);
        QVERIFY(w.dir.isValid());
        using ProcessMemory::residentKb;
        const qint64 before = residentKb();
        QVERIFY(before > 0);
        bool madeReady = false;
        m_platform->openDialog.whileShown = [&](const OpenDialogRequest& request) {
            if (request.highlighted) {
                request.highlighted(w.path);
                madeReady = QTest::qWaitFor(
                    [&] { return residentKb() - before > LargePhotoWindow::kPixelKb; });
            }
        };
        // The fake dialog has no answer: the user cancels.
        clickControl(w.form, QStringLiteral("Command8"));
        QVERIFY(madeReady);
        QVERIFY2(
            residentKb() - before < LargePhotoWindow::kPixelKb / 10,
            qPrintable(
                QStringLiteral("%1 kB still held after the cancel").arg(residentKb() - before)));
    }

    void aFileDraggedInHasItsMemoryMadeReadyUntilItLeaves()
    {
        LargePhotoWindow w(*m_platform);
        QVERIFY(w.dir.isValid());
        using ProcessMemory::residentKb;
        const qint64 pixelKb = LargePhotoWindow::kPixelKb;
        Form1& form = w.form;
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(w.path)});
        const QPoint pos(100, 200);
        auto dragIn = [&] {
            QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&form, &enter);
            return enter.isAccepted();
        };
        const qint64 before = residentKb();
        QVERIFY(before > 0);

        QVERIFY(dragIn());
        QTRY_VERIFY(residentKb() - before > pixelKb);
        QDragLeaveEvent leave;
        QApplication::sendEvent(&form, &leave);
        QVERIFY2(
            residentKb() - before < pixelKb / 10,
            qPrintable(
                QStringLiteral("%1 kB still held after the drag left").arg(residentKb() - before)));

        // Dragged in again and dropped: the photo takes what was made ready.
        QVERIFY(dragIn());
        QTRY_VERIFY(residentKb() - before > pixelKb);
        const qint64 ready = residentKb();
        ProcessMemory::resetPeakResident();
        QDropEvent dropEvent(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &dropEvent);
        QTRY_VERIFY(!form.session().isLoadingPhoto());
        QCOMPARE(form.session().photo().naturalSize(), LargePhotoWindow::kSize);
        const qint64 growthKb = ProcessMemory::statusKb("VmHWM") - ready;
        QVERIFY2(growthKb < pixelKb / 4,
                 qPrintable(QStringLiteral("the drop took %1 kB more").arg(growthKb)));
    }

private:
    QWidget* widget(const QString& name) const { return control(*m_form, name); }
    QTimer* timer() const { return m_form->findChild<QTimer*>("Timer1"); }
    void click(const QString& name) { clickControl(*m_form, name); }
    void tick(int count)
    {
        for (int i = 0; i < count; ++i) {
            m_form->session().nudgeTick();
        }
    }
    void open(const QString& path) { openThroughDialog(*m_form, m_platform->openDialog, path); }
    void wheel(QWidget* target, int delta)
    {
        const QPointF pos(10, 10);
        QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
    void sendKey(QWidget* target, QEvent::Type type, int key, bool autoRepeat)
    {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(target, &event);
    }
    void drop(const QList<QUrl>& urls)
    {
        QMimeData mime;
        mime.setUrls(urls);
        const QPoint pos(100, 200);
        QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropEvent(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &dropEvent);
    }

    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(Form1InputTest)
#include "Form1InputTest.moc"
