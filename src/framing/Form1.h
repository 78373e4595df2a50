// Kestrova — identity photo maker.
#pragma once

#include "Form1Controls.h"
#include "platform/OpenFileDialog.h"
#include "platform/Services.h"

#include <QWidget>

class FramingSession;
class QHelpEvent;

/// The home page the credit label opens.
inline constexpr char kHomePageUrl[] = "https://dorvenik.example/";

/// The main window: the work area with the photo and the crop frame, the
/// preview, and the button pad. It shows a framing session and hands every
/// event on to it.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(Services& services, QWidget* parent = nullptr);
    ~Form1() override;

    [[nodiscard]] FramingSession& session() { return *m_session; }
    [[nodiscard]] const FramingSession& session() const { return *m_session; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void connectControls();
    void load();

    void command8Click();
    void command9Click();
    void showPhoto();
    void showFrame();
    void showPreviewToolTip(const QHelpEvent& event);
    void showWaiting();

    Services& m_services;
    // Owned as a child object, so it goes before the controls that show it.
    FramingSession* m_session;
    Form1Controls m_ui;
    OpenDialogRequest m_openRequest;
    // Set while this window holds the application's wait cursor.
    bool m_waitCursor = false;
};
