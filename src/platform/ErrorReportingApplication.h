// Kestrova — identity photo maker.
#pragma once

#include <QApplication>

#include <functional>

class MessageBox;

/// Exit status of a program ended by an unhandled error.
inline constexpr int kErrorExitStatus = 1;

/// The application object; every event handler runs under its notify(), so
/// an error no handler takes is reported here, once for the whole program:
/// a message box with the error's number and description, then the program
/// ends with a non-zero status. It also gives every window the interface's
/// font and Qt's own texts in Chinese.
class ErrorReportingApplication : public QApplication
{
    Q_OBJECT

public:
    ErrorReportingApplication(int& argc, char** argv);
    ~ErrorReportingApplication() override;

    /// Where reports go; the application does not own it.
    void setMessageBox(MessageBox* messages) { m_messages = messages; }
    /// What ends the program after a report; by default quits every event loop.
    void setTerminate(std::function<void(int)> terminate) { m_terminate = std::move(terminate); }

    bool notify(QObject* receiver, QEvent* event) override;

    /// The text of the report for an error.
    [[nodiscard]] static QString reportText(int number, const QString& description);

private:
    void report(int number, const QString& description);

    MessageBox* m_messages = nullptr;
    std::function<void(int)> m_terminate;
    bool m_reporting = false;
};
