// Kestrova — identity photo maker.
#include "ErrorReportingApplication.h"

#include "AppError.h"
#include "InterfaceFont.h"
#include "MessageBox.h"
#include "ProgramInfo.h"
#include "QtTranslation.h"

#include <cstdio>
#include <exception>
#include <new>

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
    // The program raises nothing on purpose; this only keeps a library's
    // failure (memory running out above all) from ending it without a word.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        report(AppError(7, QStringLiteral("内存不足")));
    } catch (const std::exception& error) {
        report(AppError(51, QString::fromLocal8Bit(error.what())));
    }
    return true;
}

QString ErrorReportingApplication::reportText(int number, const QString& description)
{
    return QStringLiteral("错误 %1：%2").arg(number).arg(description);
}

void ErrorReportingApplication::report(const AppError& error)
{
    const QString text = reportText(error.number(), error.description());
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
