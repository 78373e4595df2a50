// Kestrova — identity photo maker.
#include "framing/Form1.h"
#include "framing/FramingSession.h"

#include "TestDoubles.h"
#include "saving/Form2.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

constexpr QSize kCaptureSize(120, 180);
// The work area's client size, in twips: 240 x 360 pixels.
constexpr float kClientWidthTwips = 3600.0f;
constexpr float kClientHeightTwips = 5400.0f;
// Positions are whole twips; a clamp rounds to one, which may shave off up to half.
constexpr float kRoundingSlackTwips = 0.5f;
constexpr float kFrameMaxLeft = 1800.0f;
constexpr float kFrameMaxTop = 2700.0f;
const QString kSavedName = QStringLiteral("08-10-2011_090503.jpg");

struct Picture
{
    const char* name;
    QSize size;
};

// Larger, smaller, exactly as large as the work area, and lopsided both ways.
constexpr std::array<Picture, 6> kPictures{{
    {"/photos/portrait.jpg", {400, 600}},
    {"/photos/small.bmp", {100, 150}},
    {"/photos/exact.gif", {240, 360}},
    {"/photos/wide.jpg", {900, 200}},
    {"/photos/tall.bmp", {150, 1000}},
    {"/photos/tiny.gif", {3, 2}},
}};

const QStringList kValidQualities{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
const QStringList kInvalidQualities{"",
                                    "0",
                                    "11",
                                    "42",
                                    "-3",
                                    "abc",
                                    "1e9",
                                    "nan",
                                    "inf",
                                    QStringLiteral("５"),
                                    " ",
                                    "一",
                                    "10abc",
                                    "99999999999999999999",
                                    QString(300, QLatin1Char('9'))};

QImage stripes(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 7 + y / 5) % 2 ? 40 : 220));
        }
    }
    return image;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), widget->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QString buttonsText(Qt::MouseButtons buttons)
{
    return QStringLiteral("0x%1").arg(int(buttons), 0, 16);
}

/// Whether the saved file is a capture-sized JPEG; an empty answer means it is.
QString savedFileProblem(const QString& folder)
{
    QImageReader reader(QDir(folder).filePath(kSavedName));
    if (reader.format() != "jpeg" || reader.size() != kCaptureSize) {
        return QStringLiteral("saved file is %1 of %2 x %3")
            .arg(QString::fromLatin1(reader.format()))
            .arg(reader.size().width())
            .arg(reader.size().height());
    }
    return {};
}

/// Types text as key presses; QTest's own typing takes Latin-1 only.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, char(c.unicode()));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

/// Types invalid qualities into the dialog, each of which must leave it open, then a
/// valid one, which must save and close it. An empty answer means all went so.
QString fillInSaveDialog(Form2& dialog, const QStringList& invalid, const QString& valid)
{
    auto* text1 = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
    if (!text1 || !ok) {
        return QStringLiteral("dialog controls missing");
    }
    QString problem;
    for (const QString& text : invalid) {
        text1->clear();
        typeText(text1, text);
        QTest::mouseClick(ok, Qt::LeftButton);
        if ((dialog.result() == QDialog::Accepted) || !dialog.isVisible()) {
            problem = QStringLiteral("quality \"%1\" was saved").arg(text.left(20));
            break;
        }
    }
    text1->clear();
    typeText(text1, valid);
    QTest::mouseClick(ok, Qt::LeftButton);
    if (problem.isEmpty() && (!(dialog.result() == QDialog::Accepted) || dialog.isVisible())) {
        problem = QStringLiteral("quality \"%1\" did not save").arg(valid);
    }
    if (dialog.isVisible()) {
        // Never leave a modal loop running: that would hang the test, not fail it.
        dialog.done(QDialog::Rejected);
    }
    return problem;
}

/// One run of random events against one window.
class Run
{
public:
    explicit Run(quint32 seed) : m_seed(seed), m_random(seed)
    {
        for (const Picture& picture : kPictures) {
            m_platform.pictures.pictures.insert(QString::fromLatin1(picture.name),
                                                stripes(picture.size));
        }
        m_platform.services.programDir = m_programDir.path();
    }

    bool setUp()
    {
        m_form.show();
        if (!m_programDir.isValid() || !QTest::qWaitForWindowExposed(&m_form)) {
            return false;
        }
        m_image1 = m_form.findChild<QWidget*>(QStringLiteral("Image1"));
        m_shape1 = m_form.findChild<QWidget*>(QStringLiteral("Shape1"));
        m_timer1 = m_form.findChild<QTimer*>(QStringLiteral("Timer1"));
        m_frameSize = m_shape1 ? m_shape1->size() : QSize();
        return m_image1 && m_shape1 && m_timer1;
    }

    /// Sends one random event; returns what went wrong, or nothing.
    QString step()
    {
        m_dragActed = false;
        m_problem.clear();
        const int pick = int(m_random.bounded(1000));
        if (pick < 400) {
            mouseOnPhoto();
        } else if (pick < 600) {
            arrowButton();
        } else if (pick < 700) {
            ticks();
        } else if (pick < 850) {
            zoom();
        } else if (pick < 900) {
            click("Command1", QStringLiteral("refresh"));
        } else if (pick < 980) {
            open();
        } else {
            save();
        }
        if (m_problem.isEmpty()) {
            m_problem = invariantProblem();
        }
        return m_problem;
    }

    [[nodiscard]] QString lastEvent() const { return m_event; }
    [[nodiscard]] quint32 seed() const { return m_seed; }

private:
    QWidget* control(const char* name) const
    {
        return m_form.findChild<QWidget*>(QString::fromLatin1(name));
    }

    void click(const char* name, const QString& what)
    {
        m_event = what;
        QTest::mouseClick(control(name), Qt::LeftButton);
    }

    Qt::MouseButton randomButton()
    {
        constexpr std::array<Qt::MouseButton, 4> kButtons{Qt::LeftButton, Qt::LeftButton,
                                                          Qt::RightButton, Qt::MiddleButton};
        return kButtons[m_random.bounded(int(kButtons.size()))];
    }

    Qt::MouseButtons randomHeldButtons()
    {
        constexpr std::array<Qt::MouseButtons::Int, 6> kHeld{
            Qt::LeftButton, Qt::LeftButton,  Qt::LeftButton | Qt::RightButton,
            Qt::NoButton,   Qt::RightButton, Qt::MiddleButton};
        return Qt::MouseButtons::fromInt(kHeld[m_random.bounded(int(kHeld.size()))]);
    }

    // Mostly near the last position, sometimes anywhere, including far outside the photo.
    QPoint randomPosition()
    {
        if (m_random.bounded(5) == 0) {
            m_pointer = QPoint(m_random.bounded(-400, 1200), m_random.bounded(-400, 1600));
        } else {
            m_pointer += QPoint(m_random.bounded(-40, 41), m_random.bounded(-40, 41));
        }
        return m_pointer;
    }

    void mouseOnPhoto()
    {
        const int kind = int(m_random.bounded(10));
        const QPoint at = randomPosition();
        if (kind < 2) {
            const Qt::MouseButton button = randomButton();
            const Qt::MouseButtons held =
                m_random.bounded(4) == 0 ? Qt::LeftButton | Qt::RightButton : button;
            m_event = QStringLiteral("press %1 (held %2) on the photo at %3, %4")
                          .arg(int(button))
                          .arg(buttonsText(held))
                          .arg(at.x())
                          .arg(at.y());
            sendMouse(m_image1, QEvent::MouseButtonPress, at, button, held);
        } else if (kind < 9) {
            const Qt::MouseButtons held = randomHeldButtons();
            m_event = QStringLiteral("move (held %1) on the photo to %2, %3")
                          .arg(buttonsText(held))
                          .arg(at.x())
                          .arg(at.y());
            const PhotoGeometry before = m_form.session().photoGeometry();
            sendMouse(m_image1, QEvent::MouseMove, at, Qt::NoButton, held);
            m_dragActed = held == Qt::LeftButton;
            if (held != Qt::LeftButton && !(m_form.session().photoGeometry() == before)) {
                m_problem = QStringLiteral("a move without the left button alone dragged");
            }
        } else {
            const Qt::MouseButton button = randomButton();
            m_event = QStringLiteral("release %1 on the photo at %2, %3")
                          .arg(int(button))
                          .arg(at.x())
                          .arg(at.y());
            sendMouse(m_image1, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
        }
    }

    void arrowButton()
    {
        constexpr std::array<const char*, 4> kArrows{"Command2", "Command3", "Command4",
                                                     "Command5"};
        const char* name = kArrows[m_random.bounded(int(kArrows.size()))];
        QWidget* arrow = control(name);
        const Qt::MouseButton button = randomButton();
        const bool press = m_random.bounded(2) == 0;
        // Now and then the pointer has slid off the button before it is let go.
        const QPoint at = m_random.bounded(4) == 0 ? QPoint(-30, 90) : arrow->rect().center();
        m_event = QStringLiteral("%1 %2 with button %3")
                      .arg(press ? QStringLiteral("press") : QStringLiteral("release"))
                      .arg(QString::fromLatin1(name))
                      .arg(int(button));
        sendMouse(arrow, press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, at, button,
                  press ? Qt::MouseButtons(button) : Qt::NoButton);
        if (press && !m_timer1->isActive()) {
            m_problem = QStringLiteral("an arrow press did not start Timer1");
        } else if (!press && m_timer1->isActive()) {
            m_problem = QStringLiteral("an arrow release did not stop Timer1");
        }
    }

    void ticks()
    {
        const int count = 1 + int(m_random.bounded(30));
        m_event = QStringLiteral("%1 ticks of Timer1").arg(count);
        for (int i = 0; i < count && m_problem.isEmpty(); ++i) {
            m_form.session().nudgeTick();
            m_problem = invariantProblem();
        }
    }

    void zoom()
    {
        const int kind = int(m_random.bounded(100));
        // Long runs of one button, as a user holding on: 40 in or 60 out.
        const bool in = kind < 48 || (kind >= 96 && kind < 98);
        const int count = kind >= 96 ? (in ? 40 : 60) : 1;
        m_event = QStringLiteral("zoom %1 x %2").arg(in ? "in" : "out").arg(count);
        for (int i = 0; i < count && m_problem.isEmpty(); ++i) {
            QTest::mouseClick(control(in ? "Command6" : "Command7"), Qt::LeftButton);
            const PhotoGeometry& photo = m_form.session().photoGeometry();
            if (photo.left != 0 || photo.top != 0 || !photo.stretch) {
                m_problem = QStringLiteral("a zoom step left the photo off 0, 0");
            } else {
                m_problem = invariantProblem();
            }
        }
    }

    void open()
    {
        const int kind = int(m_random.bounded(10));
        if (kind < 6) {
            const Picture& picture = kPictures[m_random.bounded(int(kPictures.size()))];
            m_event = QStringLiteral("open %1").arg(QString::fromLatin1(picture.name));
            m_platform.openDialog.answers << QString::fromLatin1(picture.name);
            QTest::mouseClick(control("Command8"), Qt::LeftButton);
            const TwipsScale tpp;
            const PhotoGeometry natural{0, 0, tpp.toTwipsX(picture.size.width()),
                                        tpp.toTwipsY(picture.size.height()), false};
            if (!(m_form.session().photoGeometry() == natural)) {
                m_problem = QStringLiteral("the picture did not open at natural size at 0, 0");
            }
        } else if (kind < 8) {
            m_event = QStringLiteral("open a file that is not there");
            m_platform.openDialog.answers << QStringLiteral("/photos/absent.jpg");
            QTest::mouseClick(control("Command8"), Qt::LeftButton);
        } else {
            m_event = QStringLiteral("open, cancelled");
            QTest::mouseClick(control("Command8"), Qt::LeftButton);
        }
        if (m_problem.isEmpty() && !m_platform.messages.shown.isEmpty()) {
            m_problem = QStringLiteral("the open showed a message");
        }
    }

    void save()
    {
        QStringList invalid;
        const int invalidCount = int(m_random.bounded(3));
        for (int i = 0; i < invalidCount; ++i) {
            invalid << kInvalidQualities[m_random.bounded(int(kInvalidQualities.size()))];
        }
        const QString valid = kValidQualities[m_random.bounded(int(kValidQualities.size()))];
        QDir(m_programDir.path()).remove(kSavedName);
        // Through the save button, whose dialog runs its own loop, only while no
        // nudge is running: Timer1 would then fire on the wall clock's time.
        const bool throughButton = !m_timer1->isActive() && m_random.bounded(2) == 0;
        m_event = QStringLiteral("save %1 with %2 invalid qualities, then \"%3\"")
                      .arg(throughButton ? QStringLiteral("through Command9")
                                         : QStringLiteral("in a dialog of its own"))
                      .arg(invalid.size())
                      .arg(valid);
        if (throughButton) {
            bool filled = false;
            QTimer::singleShot(0, &m_form, [&] {
                filled = true;
                auto* dialog = qobject_cast<Form2*>(QApplication::activeModalWidget());
                m_problem = dialog ? fillInSaveDialog(*dialog, invalid, valid)
                                   : QStringLiteral("no modal save dialog");
            });
            QTest::mouseClick(control("Command9"), Qt::LeftButton);
            if (!filled) {
                m_problem = QStringLiteral("the save dialog never ran");
            }
        } else {
            Form2 dialog(m_platform.services, [this] { return m_form.session().capture(); });
            dialog.show();
            m_problem = fillInSaveDialog(dialog, invalid, valid);
        }
        if (m_problem.isEmpty()) {
            m_problem = savedFileProblem(m_programDir.path());
        }
    }

    QString invariantProblem() const
    {
        const FramePosition frame = m_form.session().framePosition();
        if (!(frame.left >= 0 && frame.left <= kFrameMaxLeft && frame.top >= 0 &&
              frame.top <= kFrameMaxTop)) {
            return QStringLiteral("frame at %1, %2").arg(frame.left).arg(frame.top);
        }
        const TwipsScale tpp;
        const QRect expectedShape(tpp.toPixelsX(frame.left), tpp.toPixelsY(frame.top),
                                  m_frameSize.width(), m_frameSize.height());
        if (m_shape1->geometry() != expectedShape) {
            return QStringLiteral("Shape1 at %1, %2, %3 x %4")
                .arg(m_shape1->x())
                .arg(m_shape1->y())
                .arg(m_shape1->width())
                .arg(m_shape1->height());
        }
        if (m_form.session().capture().size() != kCaptureSize) {
            return QStringLiteral("capture of %1 x %2")
                .arg(m_form.session().capture().width())
                .arg(m_form.session().capture().height());
        }
        const PhotoGeometry& photo = m_form.session().photoGeometry();
        if (!std::isfinite(photo.left) || !std::isfinite(photo.top) ||
            !std::isfinite(photo.width) || !std::isfinite(photo.height)) {
            return QStringLiteral("photo geometry not finite");
        }
        if (m_dragActed) {
            if (photo.width >= kClientWidthTwips &&
                (photo.left > 0 ||
                 photo.left + photo.width < kClientWidthTwips - kRoundingSlackTwips)) {
                return QStringLiteral("gap beside a photo %1 wide at %2")
                    .arg(photo.width)
                    .arg(photo.left);
            }
            if (photo.height >= kClientHeightTwips &&
                (photo.top > 0 ||
                 photo.top + photo.height < kClientHeightTwips - kRoundingSlackTwips)) {
                return QStringLiteral("gap under a photo %1 high at %2")
                    .arg(photo.height)
                    .arg(photo.top);
            }
        }
        return {};
    }

    const quint32 m_seed;
    QRandomGenerator m_random;
    FakePlatform m_platform;
    QTemporaryDir m_programDir;
    Form1 m_form{m_platform.services};
    QWidget* m_image1 = nullptr;
    QWidget* m_shape1 = nullptr;
    QTimer* m_timer1 = nullptr;
    QSize m_frameSize;
    QPoint m_pointer{50, 50};
    bool m_dragActed = false;
    QString m_event;
    QString m_problem;
};

} // namespace

class ClickSequenceTest : public QObject
{
    Q_OBJECT

private slots:
    void randomEventsKeepFramePhotoAndCaptureSound_data();
    void randomEventsKeepFramePhotoAndCaptureSound();
    void longZoomRunsEndAndLeaveTheWindowWorking_data();
    void longZoomRunsEndAndLeaveTheWindowWorking();
};

void ClickSequenceTest::randomEventsKeepFramePhotoAndCaptureSound_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("events");
    for (const quint32 seed : {1u, 20110810u, 3141592u}) {
        QTest::addRow("seed %u", seed) << seed << 2500;
    }
}

void ClickSequenceTest::randomEventsKeepFramePhotoAndCaptureSound()
{
    QFETCH(quint32, seed);
    QFETCH(int, events);
    Run run(seed);
    QVERIFY(run.setUp());
    for (int i = 0; i < events; ++i) {
        const QString problem = run.step();
        QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("seed %1, event %2 (%3): %4")
                                                   .arg(seed)
                                                   .arg(i)
                                                   .arg(run.lastEvent(), problem)));
    }
}

void ClickSequenceTest::longZoomRunsEndAndLeaveTheWindowWorking_data()
{
    QTest::addColumn<int>("in");
    QTest::addColumn<int>("out");
    QTest::newRow("in 40") << 40 << 0;
    QTest::newRow("out 60") << 0 << 60;
    QTest::newRow("in 40, then out 60") << 40 << 60;
    QTest::newRow("in 120") << 120 << 0;
    QTest::newRow("in 250") << 250 << 0;
    QTest::newRow("in 1000, then out 10") << 1000 << 10;
    QTest::newRow("out 400") << 0 << 400;
}

void ClickSequenceTest::longZoomRunsEndAndLeaveTheWindowWorking()
{
    QFETCH(int, in);
    QFETCH(int, out);
    FakePlatform platform;
    const QString name = QString::fromLatin1(kPictures[0].name);
    platform.pictures.pictures.insert(name, stripes(kPictures[0].size));
    Form1 form(platform.services);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    platform.openDialog.answers << name;
    QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Command8")), Qt::LeftButton);
    QWidget* zoomIn = form.findChild<QWidget*>(QStringLiteral("Command6"));
    QWidget* zoomOut = form.findChild<QWidget*>(QStringLiteral("Command7"));
    for (int i = 0; i < in; ++i) {
        QTest::mouseClick(zoomIn, Qt::LeftButton);
    }
    for (int i = 0; i < out; ++i) {
        QTest::mouseClick(zoomOut, Qt::LeftButton);
    }
    const PhotoGeometry zoomed = form.session().photoGeometry();
    QVERIFY(std::isfinite(zoomed.width) && std::isfinite(zoomed.height));
    QVERIFY(zoomed.width >= 0 && zoomed.height >= 0);
    QCOMPARE(form.session().capture().size(), kCaptureSize);
    if (in > out) {
        // Magnified that far, the whole capture lies in the picture's top-left corner.
        const QRgb centre = form.session().capture().pixel(60, 90);
        QVERIFY2(qRed(centre) < 16 && qGreen(centre) < 16 && qBlue(centre) > 200,
                 qPrintable(QStringLiteral("capture shows %1, photo %2 x %3 twips")
                                .arg(QColor(centre).name())
                                .arg(zoomed.width)
                                .arg(zoomed.height)));
    }

    // A drag over whatever is left still keeps the photo against the edges.
    QWidget* image1 = form.findChild<QWidget*>(QStringLiteral("Image1"));
    QTest::mousePress(image1, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(image1, QPoint(10, 20));
    QTest::mouseRelease(image1, Qt::LeftButton, {}, QPoint(10, 20));
    const PhotoGeometry dragged = form.session().photoGeometry();
    QVERIFY(std::isfinite(dragged.left) && std::isfinite(dragged.top));
    if (dragged.width >= kClientWidthTwips) {
        QVERIFY(dragged.left <= 0);
        QVERIFY(dragged.left + dragged.width >= kClientWidthTwips - kRoundingSlackTwips);
    }
    QCOMPARE(form.session().capture().size(), kCaptureSize);

    // Opening the picture again brings it back at its natural size.
    platform.openDialog.answers << name;
    QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Command8")), Qt::LeftButton);
    QCOMPARE(form.session().photoGeometry(), (PhotoGeometry{0, 0, 6000, 9000, false}));
    QCOMPARE(image1->geometry(), QRect(0, 0, 400, 600));
}

QTEST_MAIN(ClickSequenceTest)
#include "ClickSequenceTest.moc"
