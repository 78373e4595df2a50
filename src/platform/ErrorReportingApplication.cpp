// Kestrova — identity photo maker.
#include "ErrorReportingApplication.h"

#include "AppError.h"
#include "InterfaceFont.h"
#include "MessageBox.h"
#include "ProgramInfo.h"
#include "QtTranslation.h"

#include <cstdio>

ErrorReportingApplication::ErrorReportingApplication(int& argc, char** argv)
    : QApplication(argc, argv), m_terminate([](int status) { QCoreApplication::exit(status); })
{
    // No display name: Qt would append it to every window title that does
    // not already end with it, and each window must show exactly its caption.
    setApplicationName(programTitle());
    installQtTranslation(*this);
    setFont(interfaceFont());
}

ErrorReportingApplication::~ErrorReportingApplication() = default;

bool ErrorReportingApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const AppError& error) {
        report(error.number(), error.description());
    } catch (const std::bad_alloc&) {
        report(7, QStringLiteral("内存不足"));
    } catch (const std::exception& error) {
        report(51, QString::fromLocal8Bit(error.what()));
    }
    return true;
}

QString ErrorReportingApplication::reportText(int number, const QString& description)
{
    return QStringLiteral("错误 %1：%2").arg(number).arg(description);
}

void ErrorReportingApplication::report(int number, const QString& description)
{
    const QString text = reportText(number, description);
    std::fprintf(stderr, "%s\n", qPrintable(text));
    // The program is ending: a second error raised while the first report is
    // on screen (from an event the message box dispatches) is not shown again.
    if (m_reporting) {
        return;
    }
    m_reporting = true;
    if (m_messages) {
        m_messages->show(programTitle(), text);
    }
    m_reporting = false;
    m_terminate(kErrorExitStatus);
}
