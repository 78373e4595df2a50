// Kestrova — identity photo maker.
#include "Form2.h"

#include "Module1.h"
#include "OutputName.h"
#include "QualityLevel.h"
#include "QualityValue.h"
#include "platform/Clock.h"
#include "platform/ProgramInfo.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <array>

namespace {

// Window and control geometry, in twips.
constexpr float kClientWidth = 3000.0f;
constexpr float kClientHeight = 2340.0f;
constexpr QPoint kLabel1Pos(360, 480);
constexpr QRect kText1Rect(960, 435, 375, 270);
constexpr QRect kCombo1Rect(1560, 420, 1095, 300);
constexpr QRect kLabel2Rect(360, 960, 2415, 900);
constexpr QRect kCommand1Rect(1013, 1680, 975, 495);

constexpr char16_t kBestLevel[] = u"最佳";
constexpr char16_t kInitialQuality[] = u"10";
constexpr std::array<const char16_t*, 5> kLevelItems{u"最佳", u"高", u"中", u"低", kErrorLevel};

const QColor kWindowBack(219, 255, 184);
const QColor kLabelText(72, 204, 66);
const QColor kBoxBack(242, 255, 229);
const QColor kBoxText(0, 192, 0);

void setTextColor(QWidget* widget, QColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

// A combo box that is not editable paints its face with the button colour.
void setBackColor(QWidget* widget, QColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::Button, color);
    widget->setPalette(palette);
}

} // namespace

Form2::Form2(Services& services, std::function<QImage()> capturePicture, QWidget* parent)
    : QDialog(parent), m_services(services), m_capturePicture(std::move(capturePicture))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(programTitle());
    setWindowIcon(QIcon(QStringLiteral(":/kestrova/icon.png")));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(m_services.tpp.toPixelsX(kClientWidth), m_services.tpp.toPixelsY(kClientHeight));
    setAutoFillBackground(true);
    buildControls();
    load();
}

Form2::~Form2() = default;

void Form2::buildControls()
{
    const TwipsScale tpp = m_services.tpp;
    auto place = [tpp](QWidget* widget, const QRect& twips) {
        widget->setGeometry(tpp.toPixels(twips.x(), twips.y(), twips.width(), twips.height()));
    };

    m_label1 = new QLabel(QStringLiteral("品质："), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->move(tpp.toPixelsX(kLabel1Pos.x()), tpp.toPixelsY(kLabel1Pos.y()));
    m_label1->adjustSize();

    m_text1 = new QLineEdit(QString::fromUtf16(kInitialQuality), this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    place(m_text1, kText1Rect);

    // Not editable: the level only reflects the quality, and a typed level
    // would mean nothing to the save.
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    for (const char16_t* item : kLevelItems) {
        m_combo1->addItem(QString::fromUtf16(item));
    }
    place(m_combo1, kCombo1Rect);

    m_label2 = new QLabel(
        QStringLiteral(
            "注：品质为 1-10之间的数字，数字越大，生成的图像质量越高，越清晰，文件也就越大"),
        this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setWordWrap(true);
    const QRect label2Pixels =
        tpp.toPixels(kLabel2Rect.x(), kLabel2Rect.y(), kLabel2Rect.width(), kLabel2Rect.height());
    m_label2->move(label2Pixels.topLeft());
    m_label2->setFixedSize(label2Pixels.size());

    // The labels show the window's back colour through them.
    m_label1->setAutoFillBackground(false);
    m_label2->setAutoFillBackground(false);

    m_command1 = new QPushButton(QStringLiteral("确 定"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    place(m_command1, kCommand1Rect);
    // No default button: Enter in the quality box does not save.
    m_command1->setAutoDefault(false);

    // Connected after the design-time text is in place, so only later changes count.
    connect(m_text1, &QLineEdit::textChanged, this, &Form2::text1Change);
    connect(m_command1, &QPushButton::clicked, this, &Form2::command1Click);

    QWidget::setTabOrder(m_text1, m_combo1);
    QWidget::setTabOrder(m_combo1, m_command1);
    m_text1->setFocus();
}

void Form2::load()
{
    m_saveDone = false;
    m_combo1->setCurrentText(QString::fromUtf16(kBestLevel));
    m_text1->setText(QString::fromUtf16(kInitialQuality));

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, kWindowBack);
    setPalette(windowPalette);
    setTextColor(m_label1, kLabelText);
    setTextColor(m_label2, kLabelText);
    setBackColor(m_text1, kBoxBack);
    setBackColor(m_combo1, kBoxBack);
    setTextColor(m_text1, kBoxText);
    setTextColor(m_combo1, kBoxText);
}

void Form2::text1Change()
{
    if (const std::optional<QString> level = levelForQuality(m_text1->text())) {
        m_combo1->setCurrentText(*level);
    }
}

void Form2::command1Click()
{
    if (m_combo1->currentText() == QStringView(kErrorLevel)) {
        return;
    }
    const QString path = outputPath(m_services.programDir, m_services.clock.now());
    const std::optional<int> quality = qualityValue(m_text1->text(), QLocale::system());
    if (!quality) {
        m_combo1->setCurrentText(QString::fromUtf16(kErrorLevel));
        return;
    }
    // A failed save is not handled here: it goes to the program's error report.
    Module1::saveJpeg(m_capturePicture(), path, *quality);
    m_saveDone = true;
    accept();
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
