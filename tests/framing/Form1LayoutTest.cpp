// Kestrova — identity photo maker.
#include "framing/Form1.h"

#include "TestDoubles.h"
#include "framing/FramingSession.h"
#include "framing/PictureBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QColor kWindowBack(219, 255, 184);
const QColor kBoxBack(242, 255, 229);
const QColor kLabelText(72, 204, 66);

QRect geometryIn(const QWidget* widget, const QWidget* ancestor)
{
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

} // namespace

class Form1LayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_platform = std::make_unique<FakePlatform>();
        m_form = std::make_unique<Form1>(m_platform->services);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup()
    {
        m_form.reset();
        m_platform.reset();
    }

    void windowHasFixedSizeTitleAndIcon()
    {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Kestrova"));
        QCOMPARE(m_form->size(), QSize(393, 484));
        QCOMPARE(m_form->minimumSize(), QSize(393, 484));
        QCOMPARE(m_form->maximumSize(), QSize(393, 484));
        const Qt::WindowFlags flags = m_form->windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!m_form->windowIcon().isNull());
    }

    void controlsSitAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("Image2") << "Image2" << QRect(0, 0, 393, 81);
        QTest::newRow("Picture1(0)") << "Picture1(0)" << QRect(8, 88, 242, 362);
        QTest::newRow("Picture1(2)") << "Picture1(2)" << QRect(264, 88, 122, 182);
        QTest::newRow("Command8") << "Command8" << QRect(264, 324, 41, 41);
        QTest::newRow("Command4") << "Command4" << QRect(304, 324, 41, 41);
        QTest::newRow("Command9") << "Command9" << QRect(344, 324, 41, 41);
        QTest::newRow("Command2") << "Command2" << QRect(264, 364, 41, 41);
        QTest::newRow("Command1") << "Command1" << QRect(304, 364, 41, 41);
        QTest::newRow("Command5") << "Command5" << QRect(344, 364, 41, 41);
        QTest::newRow("Command6") << "Command6" << QRect(264, 404, 41, 41);
        QTest::newRow("Command3") << "Command3" << QRect(304, 404, 41, 41);
        QTest::newRow("Command7") << "Command7" << QRect(344, 404, 41, 41);
        QTest::newRow("Line1") << "Line1" << QRect(256, 80, 1, 376);
        QTest::newRow("Line2") << "Line2" << QRect(0, 456, 392, 1);
        QTest::newRow("Line3") << "Line3" << QRect(256, 312, 136, 1);
    }
    void controlsSitAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        auto* widget = m_form->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(geometryIn(widget, m_form.get()), pixels);
    }

    void workAreaClientHoldsPhotoAndFrame()
    {
        auto* workArea = m_form->findChild<QWidget*>("Picture1(0)");
        auto* image1 = m_form->findChild<QWidget*>("Image1");
        auto* shape1 = m_form->findChild<QWidget*>("Shape1");
        QVERIFY(workArea && image1 && shape1);
        // One-pixel border: the client area starts at (1, 1) and is 240 x 360.
        QCOMPARE(image1->parentWidget()->size(), QSize(240, 360));
        QCOMPARE(geometryIn(image1->parentWidget(), workArea), QRect(1, 1, 240, 360));
        QCOMPARE(image1->geometry(), QRect(0, 0, 280, 360));
        QCOMPARE(shape1->geometry(), QRect(0, 0, 122, 182));
        QVERIFY(shape1->testAttribute(Qt::WA_TransparentForMouseEvents));
        QVERIFY(!image1->testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    void captionsAreShownAsWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Command1") << "Command1"
                                  << "◎";
        QTest::newRow("Command2") << "Command2"
                                  << "←";
        QTest::newRow("Command3") << "Command3"
                                  << "↓";
        QTest::newRow("Command4") << "Command4"
                                  << "↑";
        QTest::newRow("Command5") << "Command5"
                                  << "→";
        QTest::newRow("Command6") << "Command6"
                                  << "放大";
        QTest::newRow("Command7") << "Command7"
                                  << "缩小";
        QTest::newRow("Command8") << "Command8"
                                  << "打开";
        QTest::newRow("Command9") << "Command9"
                                  << "保存";
        QTest::newRow("Label1") << "Label1"
                                << "预览窗口";
        QTest::newRow("Label2") << "Label2"
                                << "图像大小 120*180";
        QTest::newRow("Label3") << "Label3"
                                << "Dorvenik 出品";
        QTest::newRow("Label4") << "Label4"
                                << "提示：本程序用来制作120*180 20Kb以下JPG证件照";
    }
    void captionsAreShownAsWritten()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        if (auto* button = m_form->findChild<QPushButton*>(name)) {
            QCOMPARE(button->text(), caption);
        } else {
            auto* label = m_form->findChild<QLabel*>(name);
            QVERIFY2(label, qPrintable(name));
            QCOMPARE(label->text(), caption);
        }
    }

    void labelsAreSizedToTheirTextAtTheirPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("Label1") << "Label1" << QPoint(300, 275);
        QTest::newRow("Label2") << "Label2" << QPoint(276, 293);
        QTest::newRow("Label3") << "Label3" << QPoint(296, 464);
        QTest::newRow("Label4") << "Label4" << QPoint(8, 464);
    }
    void labelsAreSizedToTheirTextAtTheirPlace()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, topLeft);
        auto* label = m_form->findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->pos(), topLeft);
        QCOMPARE(label->size(), label->sizeHint());
        QVERIFY(!label->autoFillBackground());
        // Drawn onto the window's colour, not a box of its own.
        const QImage shot = label->grab().toImage();
        QCOMPARE(QColor(shot.pixel(0, 0)), kWindowBack);
    }

    void coloursAfterLoad()
    {
        QCOMPARE(m_form->palette().color(QPalette::Window), kWindowBack);
        for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
            auto* label = m_form->findChild<QLabel*>(name);
            QCOMPARE(label->palette().color(QPalette::WindowText), kLabelText);
            QVERIFY(!label->font().underline());
        }
        auto* preview = m_form->findChild<PictureBox*>("Picture1(2)");
        QCOMPARE(preview->backColor(), kBoxBack);
        // Until the first refresh the capture holds the system's window colour.
        const QImage& capture = m_form->session().capture();
        QCOMPARE(QColor(capture.pixel(60, 90)), QApplication::palette().color(QPalette::Window));
        QCOMPARE(capture.size(), QSize(120, 180));

        // The work area shows its back colour and the frame outline in the
        // system's window-text colour at its top-left.
        const QImage shot = m_form->grab().toImage();
        QCOMPARE(QColor(shot.pixel(8 + 1 + 130, 88 + 1 + 200)), kBoxBack);
        const QColor frame = QApplication::palette().color(QPalette::WindowText);
        QCOMPARE(QColor(shot.pixel(8 + 1 + 0, 88 + 1 + 50)), frame);
        QCOMPARE(QColor(shot.pixel(8 + 1 + 121, 88 + 1 + 50)), frame);
        QCOMPARE(QColor(shot.pixel(8 + 1 + 60, 88 + 1 + 181)), frame);
        QCOMPARE(QColor(shot.pixel(8 + 1 + 60, 88 + 1 + 90)), kBoxBack);
        QCOMPARE(QColor(shot.pixel(264 + 60, 88 + 90)), kBoxBack);
        // The dividers.
        QCOMPARE(QColor(shot.pixel(256, 200)), QColor(0, 192, 0));
        QCOMPARE(QColor(shot.pixel(100, 456)), QColor(0, 192, 0));
        QCOMPARE(QColor(shot.pixel(300, 312)), QColor(0, 192, 0));
    }

    void previewIsShown() { QVERIFY(m_form->findChild<QWidget*>("Picture1(2)")->isVisible()); }

    void bannerShowsItsPicture()
    {
        auto* banner = m_form->findChild<QLabel*>("Image2");
        QCOMPARE(banner->pixmap().size(), QSize(393, 81));
    }

    void focusOrderRunsWorkAreaButtonsPreview()
    {
        QApplication::setActiveWindow(m_form.get());
        QWidget* expected[] = {
            m_form->findChild<QWidget*>("Picture1(0)"), m_form->findChild<QWidget*>("Command1"),
            m_form->findChild<QWidget*>("Command2"),    m_form->findChild<QWidget*>("Command3"),
            m_form->findChild<QWidget*>("Command4"),    m_form->findChild<QWidget*>("Command5"),
            m_form->findChild<QWidget*>("Command6"),    m_form->findChild<QWidget*>("Command7"),
            m_form->findChild<QWidget*>("Command8"),    m_form->findChild<QWidget*>("Command9"),
            m_form->findChild<QWidget*>("Picture1(2)"),
        };
        QWidget* widget = expected[0];
        for (QWidget* next : expected) {
            QCOMPARE(widget, next);
            widget = widget->nextInFocusChain();
            while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisible()) {
                widget = widget->nextInFocusChain();
            }
        }
        QCOMPARE(widget, expected[0]);
    }

    void startsIdle()
    {
        auto* timer = m_form->findChild<QTimer*>("Timer1");
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 50);
        QVERIFY(!timer->isActive());
        QCOMPARE(m_form->session().nudgeDirection(), short(0));
        QCOMPARE(m_form->session().dragAnchor(), QPoint(0, 0));
        QCOMPARE(m_form->session().photoGeometry(), (PhotoGeometry{0, 0, 4200, 5400, false}));
        QVERIFY(m_form->session().photo().isNull());
        QCOMPARE(m_form->session().framePosition().left, 0.0f);
        QCOMPARE(m_form->session().framePosition().top, 0.0f);
    }

    void layoutFollowsTheDisplayFactor()
    {
        FakePlatform platform;
        platform.services.tpp = TwipsScale::fromDpi(120, 120);
        Form1 form(platform.services);
        QCOMPARE(form.size(), QSize(491, 605));
        QCOMPARE(form.findChild<QWidget*>("Command5")->geometry(), QRect(430, 455, 51, 51));
        // The saved picture keeps its size.
        QCOMPARE(form.session().capture().size(), QSize(120, 180));
    }

private:
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(Form1LayoutTest)
#include "Form1LayoutTest.moc"
