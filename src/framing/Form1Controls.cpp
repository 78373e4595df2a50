// Kestrova — identity photo maker.
#include "Form1Controls.h"

#include "CaptureGeometry.h"
#include "DividerLine.h"
#include "PictureBox.h"
#include "WorkArea.h"
#include "platform/Captions.h"
#include "platform/ControlColors.h"

#include <QApplication>
#include <QLabel>
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
    int left;
    int top;
};

constexpr std::array<LabelSpec, 4> kLabels{{
    {"Label1", "Form1.Label1", 4500, 4120},
    {"Label2", "Form1.Label2", 4140, 4400},
    {"Label3", "Form1.Label3", 4440, 6960},
    {"Label4", "Form1.Label4", 120, 6960},
}};

struct ButtonSpec
{
    const char* captionKey;
    int left;
    int top;
};

// Command1 .. Command9, a 3 x 3 pad of 615-twip squares.
constexpr int kPadSize = 615;
constexpr std::array<ButtonSpec, 9> kButtons{{
    {"Form1.Command1", 4560, 5460},
    {"Form1.Command2", 3960, 5460},
    {"Form1.Command3", 4560, 6060},
    {"Form1.Command4", 4560, 4860},
    {"Form1.Command5", 5160, 5460},
    {"Form1.Command6", 3960, 6060},
    {"Form1.Command7", 5160, 6060},
    {"Form1.Command8", 3960, 4860},
    {"Form1.Command9", 5160, 4860},
}};

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

Form1Controls Form1Controls::build(QWidget& form, TwipsScale tpp)
{
    auto place = [tpp](QWidget* widget, const QRect& twips) {
        widget->setGeometry(tpp.toPixels(twips.x(), twips.y(), twips.width(), twips.height()));
    };
    Form1Controls ui;

    ui.image2 = new QLabel(&form);
    ui.image2->setObjectName(QStringLiteral("Image2"));
    place(ui.image2, kBannerRect);
    ui.image2->setPixmap(bannerPixmap(ui.image2->devicePixelRatioF()));
    ui.image2->setAttribute(Qt::WA_NoMousePropagation);

    // A flat single-pixel border: the client area is the outer size less two pixels.
    const QRect workAreaPixels = tpp.toPixels(kWorkAreaRect.x(), kWorkAreaRect.y(),
                                              kWorkAreaRect.width(), kWorkAreaRect.height());
    ui.workArea = new WorkArea(workAreaPixels.size() - QSize(2, 2), &form);
    ui.workArea->move(workAreaPixels.topLeft());
    ui.workArea->setFocusPolicy(Qt::StrongFocus);

    // The photo takes the pointer while it is over it; the frame never does.
    ui.image1 = new QWidget(ui.workArea->client());
    ui.image1->setObjectName(QStringLiteral("Image1"));
    ui.image1->setMouseTracking(true);
    ui.image1->setAttribute(Qt::WA_NoMousePropagation);
    ui.shape1 = new QWidget(ui.workArea->client());
    ui.shape1->setObjectName(QStringLiteral("Shape1"));
    ui.shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    const QRect boxPixels = tpp.toPixels(kPictureBoxRect.x(), kPictureBoxRect.y(),
                                         kPictureBoxRect.width(), kPictureBoxRect.height());
    ui.captureBuffer = new PictureBox(QStringLiteral("Picture1(1)"), kCaptureSize, &form);
    ui.captureBuffer->setGeometry(boxPixels);
    // The capture buffer keeps the system's window-background colour, not the window's own.
    ui.captureBuffer->setBackColor(QApplication::palette().color(QPalette::Window));
    ui.captureBuffer->hide();
    ui.previewBox = new PictureBox(QStringLiteral("Picture1(2)"), kCaptureSize, &form);
    ui.previewBox->setGeometry(boxPixels);
    ui.previewBox->setFocusPolicy(Qt::StrongFocus);

    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        auto* label = new QLabel(Captions::text(kLabels[i].captionKey), &form);
        label->setObjectName(QString::fromLatin1(kLabels[i].name));
        label->move(tpp.toPixelsX(kLabels[i].left), tpp.toPixelsY(kLabels[i].top));
        label->adjustSize();
        label->setAttribute(Qt::WA_NoMousePropagation);
        ui.labels[i] = label;
    }
    ui.labels[2]->setMouseTracking(true);
    ui.labels[2]->setCursor(Qt::PointingHandCursor);

    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        auto* button = new QPushButton(Captions::text(kButtons[i].captionKey), &form);
        button->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        place(button, QRect(kButtons[i].left, kButtons[i].top, kPadSize, kPadSize));
        button->setAutoDefault(false);
        button->setAttribute(Qt::WA_NoMousePropagation);
        ui.commands[i] = button;
    }

    for (const LineSpec& spec : kLines) {
        auto* line = new DividerLine(tpp.toPixels(spec.from.x(), spec.from.y(), 0, 0).topLeft(),
                                     tpp.toPixels(spec.to.x(), spec.to.y(), 0, 0).topLeft(), &form);
        line->setObjectName(QString::fromLatin1(spec.name));
        line->setColor(ControlColors::kDivider);
    }

    ui.timer1 = new QTimer(&form);
    ui.timer1->setObjectName(QStringLiteral("Timer1"));

    QWidget::setTabOrder(ui.workArea, ui.commands[0]);
    for (std::size_t i = 1; i < ui.commands.size(); ++i) {
        QWidget::setTabOrder(ui.commands[i - 1], ui.commands[i]);
    }
    QWidget::setTabOrder(ui.commands[8], ui.previewBox);
    ui.workArea->setFocus();
    return ui;
}
