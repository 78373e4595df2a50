// Kestrova — identity photo maker.
#pragma once

#include "Form1Controls.h"
#include "FrameNudge.h"
#include "PhotoPlacement.h"
#include "ScaledPhoto.h"
#include "platform/Services.h"

#include <QPoint>
#include <QWidget>

/// The home page the credit label opens.
inline constexpr char kHomePageUrl[] = "https://dorvenik.example/";

/// The main window: the work area with the photo and the crop frame, the
/// preview, and the button pad.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(Services& services, QWidget* parent = nullptr);
    ~Form1() override;

    [[nodiscard]] short nudgeDirection() const { return m_nudgeDirection; }
    [[nodiscard]] QPoint dragAnchor() const { return QPoint(m_dragAnchorX, m_dragAnchorY); }
    [[nodiscard]] const PhotoGeometry& photoGeometry() const { return m_photo; }
    [[nodiscard]] FramePosition framePosition() const { return m_frame; }
    [[nodiscard]] const ScaledPhoto& photo() const { return m_picture; }
    /// The capture buffer's picture, which the save dialog writes.
    [[nodiscard]] QImage capturePicture() const;
    /// The preview's tooltip: the file size a save would write at each quality.
    [[nodiscard]] QString previewToolTip() const;

    /// Copies the crop frame's interior into the capture buffer and the preview.
    void refreshPreview();
    /// One tick of Timer1.
    void timer1Tick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void load();

    void command8Click();
    void openPicture(const QString& fileName);
    void zoomImage(float factor);
    void command9Click();
    void image1MouseDown(const QMouseEvent& event);
    void image1MouseMove(const QMouseEvent& event);
    void arrowMouseDown(short direction);
    void arrowMouseUp();
    void label3MouseMove();
    void label3Click();
    void form1MouseMove();
    void image2Click();

    void applyPhotoGeometry();
    void applyFramePosition();
    [[nodiscard]] QPointF toTwips(QPointF pixels) const;

    Services& m_services;

    Form1Controls m_ui;

    ScaledPhoto m_picture;
    // The same picture for a screen with more device than logical pixels.
    ScaledPhoto m_screenPicture;
    PhotoGeometry m_photo;
    FramePosition m_frame;
    short m_nudgeDirection = 0;
    int m_dragAnchorX = 0;
    int m_dragAnchorY = 0;
};
