// Kestrova — identity photo maker.
#pragma once

#include "platform/Twips.h"

#include <QSize>

#include <array>

struct OpenDialogRequest;
class ArrowButton;
class QAction;
class QMenu;
class QTimer;
class LinkLabel;
class PictureBox;
class QLabel;
class QPushButton;
class QWidget;
class WorkArea;
class WorkAreaScene;

/// The main window's controls, created at their places with their names and
/// captions; the window owns them and routes their events.
struct Form1Controls
{
    QLabel* image2 = nullptr;
    WorkArea* workArea = nullptr;
    QWidget* image1 = nullptr;
    QWidget* shape1 = nullptr;
    PictureBox* previewBox = nullptr;
    QLabel* label1 = nullptr;
    QLabel* label2 = nullptr;
    /// The credit link.
    LinkLabel* label3 = nullptr;
    QLabel* label4 = nullptr;
    /// Refresh.
    QPushButton* command1 = nullptr;
    /// Command2 to Command5, in the order of kNudgeArrows.
    std::array<ArrowButton*, 4> arrows{};
    QPushButton* command6 = nullptr;
    QPushButton* command7 = nullptr;
    /// Open.
    QPushButton* command8 = nullptr;
    /// Save.
    QPushButton* command9 = nullptr;
    /// The work area's context menu and its two framing entries.
    QMenu* workAreaMenu = nullptr;
    QAction* autoFrameAction = nullptr;
    QAction* wholePhotoAction = nullptr;
    /// A short message over the work area's lower edge, hidden by its timer.
    QLabel* notice = nullptr;
    QTimer* noticeTimer = nullptr;

    /// The window's client size in pixels.
    [[nodiscard]] static QSize clientSize(TwipsScale tpp);
    /// The work area's client size in pixels, inside its one-pixel border.
    [[nodiscard]] static QSize workAreaClientSize(TwipsScale tpp);
    /// What CmnDialog1, the open dialog, shows: its title, first folder and picture filter.
    [[nodiscard]] static OpenDialogRequest openRequest();
    /// Gives form its name, title, icon and fixed size, and creates every control as its
    /// child, the work area showing scene.
    [[nodiscard]] static Form1Controls build(QWidget& form, const WorkAreaScene& scene,
                                             TwipsScale tpp);
};
