// Kestrova — identity photo maker.
#include "Form2.h"

#include "Module1.h"
#include "OutputName.h"
#include "QualityLevel.h"
#include "QualityValue.h"
#include "SavedSizes.h"
#include "platform/Captions.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/ControlColors.h"
#include "platform/ErrorReporter.h"
#include "platform/ProgramInfo.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHelpEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolTip>

namespace {

// Window and control geometry, in twips.
constexpr QSizeF kClientSize(3000, 2340);
constexpr QPoint kLabel1Pos(360, 480);
constexpr QRect kText1Rect(960, 435, 375, 270);
constexpr QRect kCombo1Rect(1560, 420, 1095, 300);
constexpr QRect kLabel2Rect(360, 960, 2415, 900);
constexpr QRect kCommand1Rect(1013, 1680, 975, 495);

constexpr char16_t kInitialQuality[] = u"10";

} // namespace

using namespace ControlColors;

Form2::Form2(Services& services, std::function<QImage()> capturePicture, QWidget* parent)
    : QDialog(parent), m_services(services), m_capturePicture(std::move(capturePicture))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(programTitle());
    setWindowIcon(QIcon(QStringLiteral(":/kestrova/icon.png")));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(m_services.tpp.toPixels(kClientSize));
    setAutoFillBackground(true);
    buildControls();
    load();
}

Form2::~Form2() = default;

void Form2::buildControls()
{
    const TwipsScale tpp = m_services.tpp;
    auto place = [tpp](QWidget* widget, const QRect& twips) {
        widget->setGeometry(tpp.toPixels(QRectF(twips)));
    };

    m_label1 = new QLabel(Captions::text("Form2.Label1"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->move(tpp.toPixels(QPointF(kLabel1Pos)));
    m_label1->adjustSize();

    m_text1 = new QLineEdit(QString::fromUtf16(kInitialQuality), this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->installEventFilter(this);
    place(m_text1, kText1Rect);

    // Not editable: the level only reflects the quality, and a typed level
    // would mean nothing to the save.
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->addItems(levelNames());
    place(m_combo1, kCombo1Rect);

    m_label2 = new QLabel(Captions::text("Form2.Label2"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setWordWrap(true);
    const QRect label2Pixels = tpp.toPixels(QRectF(kLabel2Rect));
    m_label2->move(label2Pixels.topLeft());
    m_label2->setFixedSize(label2Pixels.size());

    // The labels show the window's back colour through them.
    m_label1->setAutoFillBackground(false);
    m_label2->setAutoFillBackground(false);

    m_command1 = new QPushButton(Captions::text("Form2.Command1"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    place(m_command1, kCommand1Rect);
    // No default button: Enter in the quality box does not save.
    m_command1->setAutoDefault(false);

    // Connected after the design-time text is in place, so only later changes count.
    connect(m_text1, &QLineEdit::textChanged, this, &Form2::text1Change);
    // A level the user picks by hand counts as well, the error level included.
    connect(m_combo1, &QComboBox::activated, this,
            [this](int index) { m_level = m_combo1->itemText(index); });
    connect(m_command1, &QPushButton::clicked, this, &Form2::command1Click);

    QWidget::setTabOrder(m_text1, m_combo1);
    QWidget::setTabOrder(m_combo1, m_command1);
    m_text1->setFocus();
}

void Form2::load()
{
    m_saveDone = false;
    showLevel(levelNames().constFirst());
    m_text1->setText(QString::fromUtf16(kInitialQuality));

    setWindowBackColor(this, kWindowBack);
    setTextColor(m_label1, kLabelText);
    setTextColor(m_label2, kLabelText);
    setBackColor(m_text1, kBoxBack);
    setBackColor(m_combo1, kBoxBack);
    setTextColor(m_text1, kEntryText);
    setTextColor(m_combo1, kEntryText);
}

void Form2::text1Change()
{
    if (const std::optional<QString> level = levelForQuality(m_text1->text())) {
        showLevel(*level);
    }
}

void Form2::showLevel(const QString& level)
{
    m_level = level;
    m_combo1->setCurrentText(level);
}

void Form2::command1Click()
{
    if (m_level == QStringView(kErrorLevel)) {
        return;
    }
    const QString path = outputPath(m_services.programDir, m_services.clock.now());
    const std::optional<int> quality = qualityValue(m_text1->text(), QLocale::system());
    if (!quality) {
        showLevel(QString::fromUtf16(kErrorLevel));
        return;
    }
    if (const std::optional<AppError> error =
            Module1::saveJpeg(m_capturePicture(), path, *quality)) {
        // The report shows the failure and ends the program.
        m_services.errors.report(*error);
        return;
    }
    m_saveDone = true;
    accept();
}

QString Form2::qualityToolTip() const
{
    if (m_level == QStringView(kErrorLevel)) {
        return QString();
    }
    const std::optional<int> quality = qualityValue(m_text1->text(), QLocale::system());
    if (!quality) {
        return QString();
    }
    const std::optional<qsizetype> size = savedSize(m_capturePicture(), *quality);
    return size ? QStringLiteral("保存后的文件大小：%1").arg(sizeText(*size)) : QString();
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text1 && event->type() == QEvent::ToolTip) {
        // Encoded only when the user asks, never while typing.
        const QString text = qualityToolTip();
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, m_text1);
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Form2::reject()
{
    if (m_saveDone) {
        QDialog::reject();
    }
}

void Form2::closeEvent(QCloseEvent* event)
{
    if (!m_saveDone) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
