// Kestrova — identity photo maker.
#include "framing/Form1.h"
#include "framing/FramingSession.h"

#include "FormControls.h"
#include "TestDoubles.h"
#include "TestPictures.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using TestPictures::coordinate;
using TestPictures::coordinatePicture;

namespace {

const QColor kBoxBack(242, 255, 229);
const QColor kLabelText(72, 204, 66);
const QColor kLinkHover(255, 0, 0);

void sendMouse(QWidget* widget, QEvent::Type type, QPointF pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void hover(QWidget* widget, QPointF pos = QPointF(2, 2))
{
    sendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
}

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_platform = std::make_unique<FakePlatform>();
        m_platform->pictures.pictures.insert("/photos/big.jpg", coordinatePicture(400, 600));
        m_platform->pictures.pictures.insert("/photos/small.bmp", coordinatePicture(100, 150));
        m_form = std::make_unique<Form1>(m_platform->services);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup()
    {
        m_form.reset();
        m_platform.reset();
    }

    // --- open -------------------------------------------------------------

    void openShowsThePictureAtNaturalSizeWithoutRefreshing()
    {
        const QImage before = m_form->session().capture();
        open("/photos/big.jpg");
        QCOMPARE(m_form->session().photoGeometry(), (PhotoGeometry{0, 0, 6000, 9000, false}));
        QCOMPARE(widget("Image1")->geometry(), QRect(0, 0, 400, 600));
        QCOMPARE(m_form->session().capture(), before);
    }

    void cancelledOpenChangesNothing()
    {
        open("/photos/big.jpg");
        zoomIn();
        const PhotoGeometry zoomed = m_form->session().photoGeometry();
        m_platform->openDialog.answers.clear();
        click("Command8");
        QCOMPARE(m_platform->openDialog.shown, 2);
        QCOMPARE(m_form->session().photoGeometry(), zoomed);
        m_platform->openDialog.answers << QString();
        click("Command8");
        QCOMPARE(m_form->session().photoGeometry(), zoomed);
    }

    // --- zoom -------------------------------------------------------------

    void zoomButtonsScaleByTenPercentAndRefresh()
    {
        open("/photos/big.jpg");
        click("Command6");
        QCOMPARE(m_form->session().photoGeometry(), (PhotoGeometry{0, 0, 6600, 9900, true}));
        QCOMPARE(widget("Image1")->geometry(), QRect(0, 0, 440, 660));
        click("Command7");
        QCOMPARE(m_form->session().photoGeometry().width, 5940.0f);
        QCOMPARE(m_form->session().photo().displaySize(), QSize(396, 594));
        // The refresh after the zoom shows the smoothly scaled photo.
        QVERIFY(m_form->session().capture().pixel(60, 90) != QColor(kBoxBack).rgb());
    }

    // --- drag -------------------------------------------------------------

    void leftDragCreepsAndRefreshes()
    {
        open("/photos/big.jpg");
        QWidget* image1 = widget("Image1");
        QTest::mousePress(image1, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(m_form->session().dragAnchor(), QPoint(1500, 1500));
        QTest::mouseMove(image1, QPoint(70, 40));
        // (-450 / 15, -900 / 15) twips = (-30, -60), i.e. two and four pixels.
        QCOMPARE(m_form->session().photoGeometry().left, -30.0f);
        QCOMPARE(m_form->session().photoGeometry().top, -60.0f);
        QCOMPARE(image1->pos(), QPoint(-2, -4));
        QTest::mouseRelease(image1, Qt::LeftButton, {}, QPoint(70, 40));
        QCOMPARE(m_form->session().capture().pixel(0, 0), coordinate(3, 5));
    }

    void otherButtonsOnlySetTheAnchor()
    {
        open("/photos/big.jpg");
        QWidget* image1 = widget("Image1");
        sendMouse(image1, QEvent::MouseButtonPress, QPointF(10.5, 20), Qt::RightButton,
                  Qt::RightButton);
        QCOMPARE(m_form->session().dragAnchor(), QPoint(158, 300));
        sendMouse(image1, QEvent::MouseMove, QPointF(0, 0), Qt::NoButton, Qt::RightButton);
        sendMouse(image1, QEvent::MouseMove, QPointF(0, 0), Qt::NoButton,
                  Qt::LeftButton | Qt::RightButton);
        sendMouse(image1, QEvent::MouseMove, QPointF(0, 0), Qt::NoButton, Qt::NoButton);
        QCOMPARE(m_form->session().photoGeometry(), (PhotoGeometry{0, 0, 6000, 9000, false}));
    }

    void pressOutsideThePhotoDoesNotDrag()
    {
        open("/photos/small.bmp");
        QWidget* client = widget("Image1")->parentWidget();
        QTest::mousePress(client, Qt::LeftButton, {}, QPoint(200, 300));
        QTest::mouseMove(client, QPoint(10, 10));
        QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(m_form->session().dragAnchor(), QPoint(0, 0));
        QCOMPARE(m_form->session().photoGeometry().left, 0.0f);
    }

    // --- capture ------------------------------------------------------------

    void captureMapsTheFrameInterior()
    {
        open("/photos/big.jpg");
        refreshAndCapture();
        const QImage capture = m_form->session().capture();
        QCOMPARE(capture.size(), QSize(120, 180));
        QCOMPARE(capture.pixel(0, 0), coordinate(1, 1));
        QCOMPARE(capture.pixel(119, 179), coordinate(120, 180));
        QCOMPARE(capture.pixel(37, 81), coordinate(38, 82));
        QCOMPARE(preview(), capture);
    }

    void captureAtTheSnapPositionsReadsPastTheClientArea()
    {
        open("/photos/big.jpg");
        nudge("Command5", 120);
        nudge("Command3", 179);
        QCOMPARE(m_form->session().framePosition().left, 1800.0f);
        QCOMPARE(m_form->session().framePosition().top, 2700.0f);
        const QImage capture = m_form->session().capture();
        // Interior (121..240, 181..360): its last column and row lie beyond
        // the 240 x 360 client area, where the photo goes on.
        QCOMPARE(capture.pixel(0, 0), coordinate(121, 181));
        QCOMPARE(capture.pixel(119, 179), coordinate(240, 360));
        QCOMPARE(preview(), capture);
    }

    void captureIgnoresWhatCoversTheWindow()
    {
        open("/photos/big.jpg");
        QWidget cover;
        cover.setGeometry(m_form->geometry());
        cover.setStyleSheet("background: magenta");
        cover.show();
        refreshAndCapture();
        QCOMPARE(m_form->session().capture().pixel(5, 5), coordinate(6, 6));
    }

    // --- nudging ------------------------------------------------------------

    void arrowPressWithAnyButtonStartsTheTimer_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::addColumn<short>("direction");
        QTest::newRow("left, ←") << "Command2" << Qt::LeftButton << short(1);
        QTest::newRow("right, →") << "Command5" << Qt::RightButton << short(2);
        QTest::newRow("middle, ↑") << "Command4" << Qt::MiddleButton << short(3);
        QTest::newRow("left, ↓") << "Command3" << Qt::LeftButton << short(4);
    }
    void arrowPressWithAnyButtonStartsTheTimer()
    {
        QFETCH(QString, button);
        QFETCH(Qt::MouseButton, mouseButton);
        QFETCH(short, direction);
        QTest::mousePress(widget(button), mouseButton);
        QCOMPARE(m_form->session().nudgeDirection(), direction);
        QVERIFY(timer()->isActive());
        QTest::mouseRelease(widget(button), mouseButton);
        QVERIFY(!timer()->isActive());
        QCOMPARE(m_form->session().nudgeDirection(), direction);
        QCOMPARE(m_form->session().framePosition().left, 0.0f);
        QCOMPARE(m_form->session().framePosition().top, 0.0f);
    }

    void holdingAnArrowMovesTheFrameEveryTick()
    {
        open("/photos/big.jpg");
        QTest::mousePress(widget("Command5"), Qt::LeftButton);
        for (int tick = 1; tick <= 3; ++tick) {
            m_form->session().nudgeTick();
            QCOMPARE(m_form->session().framePosition().left, 15.0f * tick);
            QCOMPARE(widget("Shape1")->pos(), QPoint(tick, 0));
            QCOMPARE(m_form->session().capture().pixel(0, 0), coordinate(tick + 1, 1));
        }
        QTest::mouseRelease(widget("Command5"), Qt::LeftButton);
        QVERIFY(!timer()->isActive());
    }

    // --- credit link and banner -------------------------------------------

    void creditLinkHighlightsUntilTheWindowSurface()
    {
        auto* link = m_form->findChild<QLabel*>("Label3");
        hover(link);
        hover(link, QPointF(5, 3));
        QVERIFY(link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), kLinkHover);
        for (const char* other :
             {"Command1", "Image2", "Label1", "Label4", "Picture1(2)", "Image1"}) {
            hover(widget(other));
            QVERIFY2(link->font().underline(), other);
            QCOMPARE(link->palette().color(QPalette::WindowText), kLinkHover);
        }
        // Over a divider the pointer is over the window itself.
        QTest::mouseMove(m_form->windowHandle(), widget("Line1")->geometry().center());
        QTRY_VERIFY(!link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), kLabelText);
        hover(link, QPointF(1, 1));
        QVERIFY(link->font().underline());
        hover(m_form.get(), QPointF(380, 300));
        QVERIFY(!link->font().underline());
    }

    void creditLinkOpensTheHomePageOnce()
    {
        QTest::mouseClick(widget("Label3"), Qt::LeftButton);
        QCOMPARE(m_platform->urls.opened, QList<QUrl>{QUrl("https://dorvenik.example/")});
        QTest::mouseClick(widget("Label3"), Qt::RightButton);
        QCOMPARE(m_platform->urls.opened.size(), 1);
    }

    void bannerShowsTheFileNameOfNow()
    {
        QTest::mouseClick(widget("Image2"), Qt::LeftButton);
        QCOMPARE(m_platform->messages.shown.size(), 1);
        QCOMPARE(m_platform->messages.shown[0].first, QStringLiteral("Kestrova"));
        QCOMPARE(m_platform->messages.shown[0].second,
                 QStringLiteral("/opt/kestrova/08-10-2011 09:05:03.jpg"));
        QCOMPARE(m_platform->clock.readings, 1);
        m_platform->clock.time = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 999));
        QTest::mouseClick(widget("Image2"), Qt::LeftButton);
        QCOMPARE(m_platform->messages.shown[1].second,
                 QStringLiteral("/opt/kestrova/12-31-2026 23:59:59.jpg"));
    }

private:
    QWidget* widget(const QString& name) const { return control(*m_form, name); }
    QTimer* timer() const { return m_form->findChild<QTimer*>("Timer1"); }
    void click(const QString& name) { clickControl(*m_form, name); }
    void open(const QString& path) { openThroughDialog(*m_form, m_platform->openDialog, path); }
    void zoomIn() { click("Command6"); }
    void zoomOut() { click("Command7"); }
    void refreshAndCapture() { click("Command1"); }
    void dragBy(QPoint offset)
    {
        QWidget* image1 = widget("Image1");
        QTest::mousePress(image1, Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mouseMove(image1, QPoint(50, 50) + offset);
        QTest::mouseRelease(image1, Qt::LeftButton, {}, QPoint(50, 50) + offset);
    }
    void nudge(const QString& button, int ticks)
    {
        QTest::mousePress(widget(button), Qt::LeftButton);
        for (int i = 0; i < ticks; ++i) {
            m_form->session().nudgeTick();
        }
        QVERIFY(!timer()->isActive());
        QTest::mouseRelease(widget(button), Qt::LeftButton);
    }
    QImage preview() const
    {
        return widget("Picture1(2)")
            ->grab()
            .toImage()
            .copy(1, 1, 120, 180)
            .convertToFormat(QImage::Format_RGB32);
    }

    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(Form1Test)
#include "Form1Test.moc"
