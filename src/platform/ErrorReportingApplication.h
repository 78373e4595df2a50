// Kestrova — identity photo maker.
#pragma once

#include "ErrorReporter.h"

#include <QApplication>

#include <functional>

class MessageBox;

/// Exit status of a program ended by an error.
inline constexpr int kErrorExitStatus = 1;

/// The application object, and the program's one error reporter: a message
/// box with the error's number and description, then the program ends with
/// a non-zero status. It also gives every window the interface's font and
/// Qt's own texts in Chinese.
class ErrorReportingApplication : public QApplication, public ErrorReporter
{
    Q_OBJECT

public:
    ErrorReportingApplication(int& argc, char** argv);
    ~ErrorReportingApplication() override;

    /// Where reports go; the application does not own it.
    void setMessageBox(MessageBox* messages) { m_messages = messages; }
    /// What ends the program after a report; by default quits every event loop.
    void setTerminate(std::function<void(int)> terminate) { m_terminate = std::move(terminate); }

    void report(const AppError& error) override;

    /// The text of the report for an error.
    [[nodiscard]] static QString reportText(int number, const QString& description);

protected:
    bool notify(QObject* receiver, QEvent* event) override;

private:
    MessageBox* m_messages = nullptr;
    std::function<void(int)> m_terminate;
    bool m_reporting = false;
};
