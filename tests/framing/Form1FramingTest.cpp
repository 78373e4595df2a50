// Kestrova — identity photo maker.
#include "framing/Form1.h"
#include "framing/FramingSession.h"

#include "FormControls.h"
#include "TestDoubles.h"
#include "TestPictures.h"
#include "framing/PictureBox.h"
#include "platform/DlibFaceFinder.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using TestPictures::coordinate;
using TestPictures::coordinatePicture;

namespace {

// A face whose eyes' midpoint (200, 250) is 57 pixels above its chin: framed at natural size,
// the photo's left at 60 + 60 - 200 and its top at 90 + 81 - 250, the frame centred.
FaceSearch centredFace()
{
    return FakeFaceFinder::found(QPointF(180, 250), QPointF(220, 250), QPointF(200, 307));
}
constexpr QRect kFramedHead(-80, -79, 400, 600);

const QString kAutoFrameText = QStringLiteral("自动取景\u3000A");
const QString kWholePhotoText = QStringLiteral("整张显示\u3000F");

class PaintCounter final : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

} // namespace

Q_DECLARE_METATYPE(FaceSearch)

// The two framing actions through the window: keys, the work area's menu, the notice, and
// the wait for the face search.
class Form1FramingTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_platform = std::make_unique<FakePlatform>();
        m_platform->pictures.pictures.insert("/photos/big.jpg", coordinatePicture(400, 600));
        m_platform->pictures.pictures.insert("/photos/wide.jpg", coordinatePicture(1200, 400));
        m_platform->pictures.pictures.insert("/photos/tall.jpg", coordinatePicture(200, 900));
        m_platform->pictures.pictures.insert("/photos/tiny.bmp", coordinatePicture(3, 2));
        m_platform->faces.answer = centredFace();
        m_form = std::make_unique<Form1>(m_platform->services);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void cleanup()
    {
        m_platform->faces.release();
        m_form.reset();
        m_platform.reset();
        QVERIFY(!QApplication::overrideCursor());
    }

    void eachWayToAnActionFramesAndRefreshes_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("head");
        QTest::newRow("key A") << "key A" << true;
        QTest::newRow("key F") << "key F" << false;
        QTest::newRow("right click, 自动取景") << "right click AutoFrame" << true;
        QTest::newRow("right click, 整张显示") << "right click WholePhoto" << false;
        QTest::newRow("menu key, 自动取景") << "menu key AutoFrame" << true;
        QTest::newRow("menu key, 整张显示") << "menu key WholePhoto" << false;
    }
    void eachWayToAnActionFramesAndRefreshes()
    {
        QFETCH(QString, how);
        QFETCH(bool, head);
        open("/photos/big.jpg");
        const QImage before = preview();

        if (how == "key A") {
            QTest::keyClick(widget("Command1"), Qt::Key_A);
        } else if (how == "key F") {
            QTest::keyClick(widget("Command1"), Qt::Key_F);
        } else {
            if (how.startsWith("right click")) {
                // Through the window, which turns a right press into a context menu event.
                const QPoint at = widget("Image1")->mapTo(m_form.get(), QPoint(50, 50));
                QTest::mouseClick(m_form->windowHandle(), Qt::RightButton, {}, at);
            } else {
                // The platform turns the menu key into a context menu event for the focus.
                widget("Picture1(0)")->setFocus();
                QWidget* focus = QApplication::focusWidget();
                QVERIFY(focus);
                QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                        focus->mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(focus, &event);
            }
            chooseFromMenu(how.endsWith("AutoFrame") ? "AutoFrame" : "WholePhoto");
        }
        QTRY_VERIFY(!m_form->session().isSearchingFace());

        QCOMPARE(m_platform->faces.searches.load(), head ? 1 : 0);
        QCOMPARE(widget("Image1")->geometry(), head ? kFramedHead : QRect(0, 0, 240, 360));
        QVERIFY(preview() != before);
        QCOMPARE(preview(), m_form->session().capture());
        if (head) {
            QCOMPARE(preview().pixel(60, 81), coordinate(200, 250));
            QCOMPARE(preview().pixel(60, 138), coordinate(200, 307));
        }
    }

    void menuHoldsTheTwoActionsUsableWithAPhoto()
    {
        sendContextMenu(QContextMenuEvent::Mouse);
        QMenu* shown = menu();
        QTRY_VERIFY(shown->isVisible());
        QCOMPARE(action("AutoFrame")->text(), kAutoFrameText);
        QCOMPARE(action("WholePhoto")->text(), kWholePhotoText);
        QCOMPARE(shown->actions().size(), 2);
        // Nothing to frame yet.
        QVERIFY(!action("AutoFrame")->isEnabled());
        QVERIFY(!action("WholePhoto")->isEnabled());
        shown->close();

        open("/photos/big.jpg");
        sendContextMenu(QContextMenuEvent::Keyboard);
        QTRY_VERIFY(shown->isVisible());
        QVERIFY(action("AutoFrame")->isEnabled());
        QVERIFY(action("WholePhoto")->isEnabled());
        shown->close();
    }

    void noFaceShowsANoticeThatGoesAwayAndChangesNothing_data()
    {
        QTest::addColumn<FaceSearch>("answer");
        QTest::addColumn<QString>("notice");
        QTest::newRow("no face") << FaceSearch{} << QStringLiteral("未检测到人脸");
        QTest::newRow("model missing")
            << FaceSearch{FaceSearch::Outcome::ModelUnavailable, std::nullopt,
                          QStringLiteral("The face landmark model /x.dat is missing.")}
            << QStringLiteral("找不到或无法读取人脸模型文件");
    }
    void noFaceShowsANoticeThatGoesAwayAndChangesNothing()
    {
        QFETCH(FaceSearch, answer);
        QFETCH(QString, notice);
        m_platform->faces.answer = answer;
        open("/photos/big.jpg");
        click("Command7");
        const QRect photo = widget("Image1")->geometry();
        const QImage before = preview();
        auto* label = m_form->findChild<QLabel*>("Notice");
        QVERIFY(label);
        QVERIFY(!label->isVisible());
        auto* timer = m_form->findChild<QTimer*>("NoticeTimer");
        QVERIFY(timer);

        QTest::keyClick(widget("Command1"), Qt::Key_A);
        QTRY_VERIFY(label->isVisible());
        QCOMPARE(label->text(), notice);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(QApplication::activeWindow() == m_form.get());
        QVERIFY(label->geometry().intersects(widget("Picture1(0)")->geometry()));
        QCOMPARE(widget("Image1")->geometry(), photo);
        QCOMPARE(preview(), before);
        QVERIFY(timer->isActive());
        QVERIFY(timer->isSingleShot());
        QCOMPARE(timer->interval(), 2000);
        // A short interval stands in for the two seconds.
        timer->start(20);
        QTRY_VERIFY(!label->isVisible());
        QCOMPARE(widget("Image1")->geometry(), photo);
    }

    void whileTheSearchRunsTheWindowPaintsAndTakesNoConflictingInput()
    {
        open("/photos/big.jpg");
        PaintCounter counter;
        widget("Picture1(0).client")->installEventFilter(&counter);
        m_platform->faces.hold();

        QTest::keyClick(widget("Command1"), Qt::Key_A);
        QVERIFY(m_form->session().isSearchingFace());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        widget("Picture1(0).client")->update();
        QTRY_VERIFY(counter.paints > 0);

        // A dialog opened now would block the test in its own loop: close it and tell.
        bool dialogShown = false;
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, this, [&dialogShown] {
            // The save dialog refuses to close before a save; done() ends its loop regardless.
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialogShown = true;
                modal->done(QDialog::Rejected);
            }
        });
        watchdog.start(50);

        click("Command6");
        click("Command7");
        QTest::keyClick(widget("Command1"), Qt::Key_Minus);
        QTest::mousePress(widget("Image1"), Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(widget("Image1"), QPoint(20, 20));
        QTest::mouseRelease(widget("Image1"), Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mousePress(widget("Command5"), Qt::LeftButton);
        QVERIFY(!m_form->session().isNudging());
        QTest::mouseRelease(widget("Command5"), Qt::LeftButton);
        QTest::keyPress(widget("Command1"), Qt::Key_Down);
        QVERIFY(!m_form->session().isNudging());
        QTest::keyRelease(widget("Command1"), Qt::Key_Down);
        QTest::keyClick(widget("Command1"), Qt::Key_F);
        QTest::keyClick(widget("Command1"), Qt::Key_A);
        m_platform->openDialog.answers << "/photos/wide.jpg";
        click("Command8");
        QTest::keyClick(widget("Command1"), Qt::Key_O, Qt::ControlModifier);
        click("Command9");
        QTest::keyClick(widget("Command1"), Qt::Key_S, Qt::ControlModifier);
        dropFile("/photos/tall.jpg");
        QCoreApplication::processEvents();

        QCOMPARE(m_platform->openDialog.shown, 1);
        QVERIFY(!dialogShown);
        QCOMPARE(widget("Image1")->geometry(), QRect(0, 0, 400, 600));
        QCOMPARE(m_form->session().framePosition(), (FramePosition{0, 0}));
        QVERIFY(m_form->session().isSearchingFace());

        m_platform->faces.release();
        QTRY_VERIFY(!m_form->session().isSearchingFace());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(m_platform->faces.searches.load(), 1);
        QCOMPARE(m_form->session().photo().naturalSize(), QSize(400, 600));
        QCOMPARE(widget("Image1")->geometry(), kFramedHead);
        QVERIFY(!dialogShown);
    }

    void closingTheWindowDuringASearchRestoresTheCursor()
    {
        open("/photos/big.jpg");
        m_platform->faces.hold();
        QTest::keyClick(widget("Command1"), Qt::Key_A);
        QVERIFY(QApplication::overrideCursor());
        // The window waits for the search as it goes; its result is never delivered.
        m_platform->faces.release();
        m_form.reset();
        QVERIFY(!QApplication::overrideCursor());
    }

    void missingModelFileWithTheRealFinderShowsANotice()
    {
        QTemporaryDir dir;
        const std::unique_ptr<FaceFinder> finder =
            makeDlibFaceFinder(dir.filePath(QStringLiteral("shape_predictor.dat")));
        const Services& fakes = m_platform->services;
        Services services{fakes.clock,      fakes.openDialog, fakes.pictures,
                          fakes.urls,       fakes.messages,   fakes.errors,
                          fakes.programDir, fakes.tpp,        *finder};
        Form1 form(services);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        openThroughDialog(form, m_platform->openDialog, "/photos/big.jpg");
        const QImage before = static_cast<PictureBox*>(control(form, "Picture1(2)"))->picture();

        QTest::keyClick(control(form, "Command1"), Qt::Key_A);
        auto* label = form.findChild<QLabel*>("Notice");
        QTRY_VERIFY(label->isVisible());
        QCOMPARE(label->text(), QStringLiteral("找不到或无法读取人脸模型文件"));
        QVERIFY(!form.session().isSearchingFace());
        QCOMPARE(form.session().lastFaceSearch().outcome, FaceSearch::Outcome::ModelUnavailable);
        QCOMPARE(control(form, "Image1")->geometry(), QRect(0, 0, 400, 600));
        QCOMPARE(static_cast<PictureBox*>(control(form, "Picture1(2)"))->picture(), before);
        QVERIFY(!QApplication::overrideCursor());
    }

    void wholePhotoFitsWideTallAndTinyPhotos_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("fitted");
        QTest::addColumn<QSize>("zoomedOut");
        QTest::newRow("wide") << "/photos/wide.jpg" << QSize(240, 80) << QSize(216, 72);
        QTest::newRow("tall") << "/photos/tall.jpg" << QSize(80, 360) << QSize(72, 324);
        QTest::newRow("tiny") << "/photos/tiny.bmp" << QSize(240, 160) << QSize(216, 144);
    }
    void wholePhotoFitsWideTallAndTinyPhotos()
    {
        QFETCH(QString, path);
        QFETCH(QSize, fitted);
        QFETCH(QSize, zoomedOut);
        open(path);
        const QImage before = preview();

        QTest::keyClick(widget("Command1"), Qt::Key_F);
        QCOMPARE(widget("Image1")->geometry(), QRect(QPoint(0, 0), fitted));
        QCOMPARE(m_form->session().photo().displaySize(), fitted);
        QVERIFY(preview() != before);
        QCOMPARE(preview(), m_form->session().capture());

        click("Command7");
        QCOMPARE(widget("Image1")->geometry(), QRect(QPoint(0, 0), zoomedOut));
    }

private:
    QWidget* widget(const QString& name) const { return control(*m_form, name); }
    QMenu* menu() const { return m_form->findChild<QMenu*>("WorkAreaMenu"); }
    QAction* action(const QString& name) const { return menu()->findChild<QAction*>(name); }
    QImage preview() const { return static_cast<PictureBox*>(widget("Picture1(2)"))->picture(); }
    void click(const QString& name) { clickControl(*m_form, name); }
    void open(const QString& path) { openThroughDialog(*m_form, m_platform->openDialog, path); }
    void sendContextMenu(QContextMenuEvent::Reason reason)
    {
        QWidget* target = widget("Picture1(0).client");
        const QPoint pos(30, 30);
        QContextMenuEvent event(reason, pos, target->mapToGlobal(pos));
        QApplication::sendEvent(target, &event);
    }
    void chooseFromMenu(const QString& name)
    {
        QMenu* shown = menu();
        QVERIFY(shown);
        QTRY_VERIFY(shown->isVisible());
        QAction* chosen = action(name);
        QVERIFY(chosen);
        QTest::mouseClick(shown, Qt::LeftButton, {}, shown->actionGeometry(chosen).center());
        QVERIFY(!shown->isVisible());
    }
    void dropFile(const QString& path)
    {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        const QPoint pos(100, 200);
        QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &enter);
        QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &drop);
    }

    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(Form1FramingTest)
#include "Form1FramingTest.moc"
