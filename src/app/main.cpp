// Kestrova — identity photo maker.
#include "framing/Form1.h"
#include "platform/Clock.h"
#include "platform/DlibFaceFinder.h"
#include "platform/ErrorReportingApplication.h"
#include "platform/MessageBox.h"
#include "platform/OpenFileDialog.h"
#include "platform/PictureLoader.h"
#include "platform/ProgramInfo.h"
#include "platform/UrlOpener.h"

#include <QScreen>

int main(int argc, char** argv)
{
    ErrorReportingApplication app(argc, argv);
    QtMessageBox messages;
    app.setMessageBox(&messages);

    SystemClock clock;
    QtOpenFileDialog openDialog;
    QtPictureLoader pictures;
    DesktopUrlOpener urls;
    const std::unique_ptr<FaceFinder> faces = makeDlibFaceFinder();
    const QScreen* screen = QGuiApplication::primaryScreen();
    Services services{
        clock,
        openDialog,
        pictures,
        urls,
        messages,
        app,
        programDirectory(),
        TwipsScale::fromDpi(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY()),
        *faces};

    Form1 form(services);
    form.show();
    return app.exec();
}
