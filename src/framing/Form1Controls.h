// Kestrova — identity photo maker.
#pragma once

#include "platform/Twips.h"

#include <QSize>

#include <array>

class PictureBox;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;
class WorkArea;

/// The main window's controls, created at their places with their names and
/// captions; the window owns them and routes their events.
struct Form1Controls
{
    QLabel* image2 = nullptr;
    WorkArea* workArea = nullptr;
    QWidget* image1 = nullptr;
    QWidget* shape1 = nullptr;
    PictureBox* captureBuffer = nullptr;
    PictureBox* previewBox = nullptr;
    std::array<QLabel*, 4> labels{};
    std::array<QPushButton*, 9> commands{};
    QTimer* timer1 = nullptr;

    /// The window's client size in pixels.
    [[nodiscard]] static QSize clientSize(TwipsScale tpp);
    /// Creates every control as a child of form.
    [[nodiscard]] static Form1Controls build(QWidget& form, TwipsScale tpp);
};
