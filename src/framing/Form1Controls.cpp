// Kestrova — identity photo maker.
#include "Form1Controls.h"

#include "ArrowButton.h"
#include "CaptureGeometry.h"
#include "DividerLine.h"
#include "LinkLabel.h"
#include "NudgeArrows.h"
#include "PictureBox.h"
#include "WorkArea.h"
#include "platform/Captions.h"
#include "platform/ControlColors.h"
#include "platform/InterfaceFont.h"
#include "platform/OpenFileDialog.h"
#include "platform/ProgramInfo.h"

#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

// Window and control geometry, in twips.
constexpr float kClientWidth = 5895.0f;
constexpr float kClientHeight = 7260.0f;
constexpr QRect kBannerRect(0, 0, 5895, 1215);
constexpr QRect kWorkAreaRect(120, 1320, 3630, 5430);
constexpr QRect kPictureBoxRect(3960, 1320, 1830, 2730);

struct LabelSpec
{
    const char* name;
    const char* captionKey;
    QPoint twips;
};

constexpr LabelSpec kLabel1{"Label1", "Form1.Label1", {4500, 4120}};
constexpr LabelSpec kLabel2{"Label2", "Form1.Label2", {4140, 4400}};
constexpr LabelSpec kLabel3{"Label3", "Form1.Label3", {4440, 6960}};
constexpr LabelSpec kLabel4{"Label4", "Form1.Label4", {120, 6960}};

// The button pad: 3 x 3 squares of 615 twips.
constexpr int kPadSize = 615;
constexpr int kPadLeft = 3960;
constexpr int kPadTop = 4860;
constexpr int kPadPitch = 600;

struct ButtonSpec
{
    const char* name;
    const char* captionKey;
    int column;
    int row;
};

constexpr ButtonSpec kCommand1{"Command1", "Form1.Command1", 1, 1};
constexpr ButtonSpec kCommand6{"Command6", "Form1.Command6", 0, 2};
constexpr ButtonSpec kCommand7{"Command7", "Form1.Command7", 2, 2};
constexpr ButtonSpec kCommand8{"Command8", "Form1.Command8", 0, 0};
constexpr ButtonSpec kCommand9{"Command9", "Form1.Command9", 2, 0};

// Long enough to read a few words, short enough not to linger over the photo.
constexpr int kNoticeMs = 2000;
// The notice's padding, in pixels.
constexpr int kNoticePadding = 6;

// Where each arrow sits on the pad, by its direction.
QPoint arrowCell(short direction)
{
    switch (direction) {
    case kNudgeLeft:
        return {0, 1};
    case kNudgeRight:
        return {2, 1};
    case kNudgeUp:
        return {1, 0};
    default:
        return {1, 2};
    }
}

QRect padCell(QPoint cell)
{
    return QRect(kPadLeft + cell.x() * kPadPitch, kPadTop + cell.y() * kPadPitch, kPadSize,
                 kPadSize);
}

struct LineSpec
{
    const char* name;
    QPoint from;
    QPoint to;
};

constexpr std::array<LineSpec, 3> kLines{{
    {"Line1", {3840, 1200}, {3840, 6840}},
    {"Line2", {0, 6840}, {5880, 6840}},
    {"Line3", {3840, 4680}, {5880, 4680}},
}};

// The banner drawn for the screen's density, so it stays sharp on a
// high-density screen.
QPixmap bannerPixmap(qreal deviceScale)
{
    if (deviceScale > 1.0) {
        QPixmap sharp(QStringLiteral(":/kestrova/banner@2x.png"));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QPixmap(QStringLiteral(":/kestrova/banner.png"));
}

} // namespace

QSize Form1Controls::clientSize(TwipsScale tpp)
{
    return QSize(tpp.toPixelsX(kClientWidth), tpp.toPixelsY(kClientHeight));
}

QSize Form1Controls::workAreaClientSize(TwipsScale tpp)
{
    // A flat single-pixel border: the client area is the outer size less two pixels.
    return tpp.toPixels(QRectF(kWorkAreaRect)).size() - QSize(2, 2);
}

// The filter caption is "shown text|patterns", the patterns separated by ';'.
OpenDialogRequest Form1Controls::openRequest()
{
    const QStringList filter = Captions::text("Form1.CmnDialog1.Filter").split(QLatin1Char('|'));
    OpenDialogRequest request;
    request.title = Captions::text("Form1.CmnDialog1.DialogTitle");
    request.startFolder = QDir::rootPath();
    request.filterText = filter.value(0);
    request.patterns = filter.value(1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    request.fileMustExist = true;
    request.readOnly = true;
    return request;
}

Form1Controls Form1Controls::build(QWidget& form, const WorkAreaScene& scene, TwipsScale tpp)
{
    form.setObjectName(QStringLiteral("Form1"));
    form.setWindowTitle(programTitle());
    form.setWindowIcon(QIcon(QStringLiteral(":/kestrova/icon.png")));
    form.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    form.setFixedSize(clientSize(tpp));

    Form1Controls ui;

    ui.image2 = new QLabel(&form);
    ui.image2->setObjectName(QStringLiteral("Image2"));
    ui.image2->setGeometry(tpp.toPixels(QRectF(kBannerRect)));
    ui.image2->setPixmap(bannerPixmap(ui.image2->devicePixelRatioF()));
    ui.image2->setAttribute(Qt::WA_NoMousePropagation);

    ui.workArea = new WorkArea(scene, workAreaClientSize(tpp), &form);
    ui.workArea->move(tpp.toPixels(QRectF(kWorkAreaRect)).topLeft());
    ui.workArea->setFocusPolicy(Qt::StrongFocus);

    // The photo takes the pointer while it is over it; the frame never does.
    ui.image1 = new QWidget(ui.workArea->client());
    ui.image1->setObjectName(QStringLiteral("Image1"));
    ui.image1->setMouseTracking(true);
    ui.image1->setAttribute(Qt::WA_NoMousePropagation);
    ui.shape1 = new QWidget(ui.workArea->client());
    ui.shape1->setObjectName(QStringLiteral("Shape1"));
    ui.shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    ui.previewBox = new PictureBox(QStringLiteral("Picture1(2)"), kCaptureSize, &form);
    ui.previewBox->setGeometry(tpp.toPixels(QRectF(kPictureBoxRect)));
    ui.previewBox->setFocusPolicy(Qt::StrongFocus);

    auto placeLabel = [tpp](auto* label, const LabelSpec& spec) {
        label->setObjectName(QString::fromLatin1(spec.name));
        label->move(tpp.toPixels(QPointF(spec.twips)));
        label->adjustSize();
        label->setAttribute(Qt::WA_NoMousePropagation);
        return label;
    };
    auto caption = [](const LabelSpec& spec) { return Captions::text(spec.captionKey); };
    ui.label1 = placeLabel(new QLabel(caption(kLabel1), &form), kLabel1);
    ui.label2 = placeLabel(new QLabel(caption(kLabel2), &form), kLabel2);
    ui.label3 = placeLabel(new LinkLabel(caption(kLabel3), &form), kLabel3);
    ui.label4 = placeLabel(new QLabel(caption(kLabel4), &form), kLabel4);

    auto setUp = [tpp](QPushButton* button, const char* name, QPoint cell) {
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(tpp.toPixels(QRectF(padCell(cell))));
        button->setAutoDefault(false);
        button->setAttribute(Qt::WA_NoMousePropagation);
        return button;
    };
    auto button = [&form, &setUp](const ButtonSpec& spec) {
        return setUp(new QPushButton(Captions::text(spec.captionKey), &form), spec.name,
                     QPoint(spec.column, spec.row));
    };
    ui.command1 = button(kCommand1);
    ui.command1->setFont(symbolFont());
    for (std::size_t i = 0; i < kNudgeArrows.size(); ++i) {
        const NudgeArrow& arrow = kNudgeArrows[i];
        ui.arrows[i] = new ArrowButton(Captions::text(arrow.captionKey), arrow.direction, &form);
        setUp(ui.arrows[i], arrow.buttonName, arrowCell(arrow.direction));
    }
    ui.command6 = button(kCommand6);
    ui.command7 = button(kCommand7);
    ui.command8 = button(kCommand8);
    ui.command9 = button(kCommand9);

    for (const LineSpec& spec : kLines) {
        auto* line = new DividerLine(tpp.toPixels(QPointF(spec.from)),
                                     tpp.toPixels(QPointF(spec.to)), &form);
        line->setObjectName(QString::fromLatin1(spec.name));
        line->setColor(ControlColors::kDivider);
    }

    ui.workAreaMenu = new QMenu(&form);
    ui.workAreaMenu->setObjectName(QStringLiteral("WorkAreaMenu"));
    // The keys are part of the texts, not shortcuts of the actions: the window's key
    // handling already takes them, whichever control has the focus.
    ui.autoFrameAction = ui.workAreaMenu->addAction(Captions::text("Form1.AutoFrame"));
    ui.autoFrameAction->setObjectName(QStringLiteral("AutoFrame"));
    ui.wholePhotoAction = ui.workAreaMenu->addAction(Captions::text("Form1.WholePhoto"));
    ui.wholePhotoAction->setObjectName(QStringLiteral("WholePhoto"));

    ui.notice = new QLabel(&form);
    ui.notice->setObjectName(QStringLiteral("Notice"));
    ui.notice->setFrameStyle(QFrame::Box | QFrame::Plain);
    ui.notice->setMargin(kNoticePadding);
    ui.notice->setAutoFillBackground(true);
    ui.notice->setBackgroundRole(QPalette::ToolTipBase);
    ui.notice->setForegroundRole(QPalette::ToolTipText);
    ui.notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui.notice->hide();
    ui.noticeTimer = new QTimer(ui.notice);
    ui.noticeTimer->setObjectName(QStringLiteral("NoticeTimer"));
    ui.noticeTimer->setSingleShot(true);
    ui.noticeTimer->setInterval(kNoticeMs);
    QObject::connect(ui.noticeTimer, &QTimer::timeout, ui.notice, &QWidget::hide);

    // Tab order: the work area, Command1 to Command9, the preview.
    QWidget* previous = ui.workArea;
    for (QWidget* next :
         {static_cast<QWidget*>(ui.command1), static_cast<QWidget*>(ui.arrows[0]),
          static_cast<QWidget*>(ui.arrows[1]), static_cast<QWidget*>(ui.arrows[2]),
          static_cast<QWidget*>(ui.arrows[3]), static_cast<QWidget*>(ui.command6),
          static_cast<QWidget*>(ui.command7), static_cast<QWidget*>(ui.command8),
          static_cast<QWidget*>(ui.command9), static_cast<QWidget*>(ui.previewBox)}) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }
    ui.workArea->setFocus();
    return ui;
}
