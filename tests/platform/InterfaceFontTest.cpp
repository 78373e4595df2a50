// Kestrova — identity photo maker.
#include "platform/InterfaceFont.h"

#include "FormControls.h"
#include "TestDoubles.h"
#include "framing/Form1.h"
#include "platform/ErrorReportingApplication.h"
#include "saving/Form2.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTest>

#include <memory>

namespace {

// 96 dpi.
constexpr int kTwipsPerPixel = 15;
// The tip must end visibly before the credit label starts.
constexpr int kTipClearance = 4;
constexpr int kNoteMaxLines = 3;

int pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

/// The texts a control shows: its caption, or every entry of a list.
QStringList textsOf(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return {label->text()};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return {button->text()};
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
        return {edit->text()};
    }
    QStringList items;
    if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
    }
    return items;
}

/// The width a control gives its text when it is as wide as it was drawn:
/// all of it for a label, less the frame, margins and arrow for the others.
int textRoom(QWidget* control, int describedWidth)
{
    if (qobject_cast<QLabel*>(control)) {
        return describedWidth;
    }
    control->resize(describedWidth, control->height());
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return button->style()
            ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
            .width();
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        return combo->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
            .width();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
        // QLineEdit keeps two more pixels clear on each side of its contents.
        constexpr int kLineEditMargin = 2;
        return edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width() -
               2 * kLineEditMargin;
    }
    return describedWidth;
}

} // namespace

/// Every caption of both windows fits the box it was laid out in, at 96 dpi,
/// in the font the program starts with.
class InterfaceFontTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_platform = std::make_unique<FakePlatform>();
        m_form1 = std::make_unique<Form1>(m_platform->services);
        m_form2 = std::make_unique<Form2>(m_platform->services, [] { return QImage(); });
    }
    void cleanup()
    {
        m_form2.reset();
        m_form1.reset();
        m_platform.reset();
    }

    void captionsUseTheInstalledCjkFont()
    {
        for (const QWidget* window :
             {static_cast<QWidget*>(m_form1.get()), static_cast<QWidget*>(m_form2.get())}) {
            const QFontInfo used(control(*window, QStringLiteral("Label1"))->font());
            QCOMPARE(used.family(), interfaceFont().family());
            QVERIFY(used.exactMatch());
        }
    }

    void textFitsItsControl_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("widthTwips");
        auto row = [](int window, const char* name, int width) {
            QTest::addRow("Form%d.%s", window, name)
                << window << QString::fromLatin1(name) << width;
        };
        row(1, "Label1", 720);
        row(1, "Label2", 1440);
        row(1, "Label3", 1350);
        row(1, "Label4", 4050);
        for (const char* button : {"Command1", "Command2", "Command3", "Command4", "Command5",
                                   "Command6", "Command7", "Command8", "Command9"}) {
            row(1, button, 615);
        }
        row(2, "Label1", 540);
        row(2, "Text1", 375);
        row(2, "Combo1", 1095);
        row(2, "Command1", 975);
    }
    void textFitsItsControl()
    {
        QFETCH(int, window);
        QFETCH(QString, name);
        QFETCH(int, widthTwips);
        QWidget* found = control(window == 1 ? *static_cast<QWidget*>(m_form1.get())
                                             : *static_cast<QWidget*>(m_form2.get()),
                                 name);
        const int room = textRoom(found, pixels(widthTwips));
        const QStringList texts = textsOf(found);
        QVERIFY(!texts.isEmpty());
        for (const QString& text : texts) {
            const int width = found->fontMetrics().horizontalAdvance(text);
            QVERIFY2(
                width <= room,
                qPrintable(QStringLiteral("%1: %2 px in %3 px").arg(text).arg(width).arg(room)));
        }
    }

    void tipEndsClearOfTheCredit()
    {
        const auto* tip = qobject_cast<QLabel*>(control(*m_form1, QStringLiteral("Label4")));
        const QWidget* credit = control(*m_form1, QStringLiteral("Label3"));
        const int tipEnd = tip->x() + tip->fontMetrics().horizontalAdvance(tip->text());
        QVERIFY2(tipEnd + kTipClearance <= credit->x(),
                 qPrintable(QStringLiteral("tip ends at %1, credit starts at %2")
                                .arg(tipEnd)
                                .arg(credit->x())));
    }

    void refreshMarkDrawsAsLargeAsTheArrows()
    {
        // The CJK font draws ◎ at half the height of its arrows, which left the
        // refresh button looking empty beside them.
        auto inkHeight = [this](const QString& name) {
            const auto* button = qobject_cast<QPushButton*>(control(*m_form1, name));
            return button->fontMetrics().tightBoundingRect(button->text()).height();
        };
        const int mark = inkHeight(QStringLiteral("Command1"));
        const int arrow = inkHeight(QStringLiteral("Command3"));
        QVERIFY2(mark * 10 >= arrow * 8,
                 qPrintable(QStringLiteral("◎ %1 px high, ↓ %2 px").arg(mark).arg(arrow)));
    }

    void noteWrapsInThreeLinesClearOfOk()
    {
        const auto* note = qobject_cast<QLabel*>(control(*m_form2, QStringLiteral("Label2")));
        const QWidget* ok = control(*m_form2, QStringLiteral("Command1"));
        const QFontMetrics metrics = note->fontMetrics();
        const QRect text =
            metrics.boundingRect(QRect(0, 0, pixels(2415), 10000), Qt::TextWordWrap, note->text());
        const int lines = (text.height() + metrics.leading()) / metrics.lineSpacing();
        QVERIFY2(lines <= kNoteMaxLines, qPrintable(QString::number(lines)));
        // The note sits at the top of its box.
        const int noteBottom = pixels(960) + text.height();
        QVERIFY2(
            noteBottom < ok->y(),
            qPrintable(
                QStringLiteral("note ends at %1, OK starts at %2").arg(noteBottom).arg(ok->y())));
    }

private:
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<Form1> m_form1;
    std::unique_ptr<Form2> m_form2;
};

int main(int argc, char** argv)
{
    // The real application object, as the program starts it.
    ErrorReportingApplication app(argc, argv);
    InterfaceFontTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "InterfaceFontTest.moc"
