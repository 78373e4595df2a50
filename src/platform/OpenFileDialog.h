// Kestrova — identity photo maker.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

/// What the open dialog is asked to show.
struct OpenDialogRequest
{
    QString title;
    /// Where the first open of a run starts.
    QString startFolder;
    /// The one file filter, shown exactly as written...
    QString filterText;
    /// ...and the name patterns it stands for, matched ignoring case.
    QStringList patterns;
    bool fileMustExist = true;
    bool readOnly = false;
    /// Told each file the user highlights while the dialog is still open.
    std::function<void(const QString& path)> highlighted;
};

/// The file-open dialog the main window asks for a picture file.
class OpenFileDialog
{
public:
    virtual ~OpenFileDialog() = default;
    /// Shows the dialog; the chosen file, or nothing when the user cancels.
    [[nodiscard]] virtual std::optional<QString> showOpen(const OpenDialogRequest& request) = 0;
};

/// Qt's own file dialog. Like the desktop's dialog for a program that always
/// passes the same starting folder, a later open in the same run starts in
/// the folder of the file chosen last.
class QtOpenFileDialog final : public OpenFileDialog
{
public:
    [[nodiscard]] std::optional<QString> showOpen(const OpenDialogRequest& request) override;

private:
    QString m_lastFolder;
};
