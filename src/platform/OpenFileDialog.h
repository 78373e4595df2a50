// Kestrova — identity photo maker.
#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;

/// Error number raised when the user cancels the open dialog.
inline constexpr int kCancelErrorNumber = 32755;

/// Settings of the file-open dialog, set once when the main window loads.
struct OpenDialogSettings
{
    /// The filter entry selected when the dialog opens (1-based; clamped to the entries there are).
    int filterIndex = 1;
    /// Cancel raises an AppError instead of returning an empty name.
    bool cancelError = false;
    /// Entries "description|patterns", patterns separated by ';'.
    QString filter;
    QString dialogTitle;
    QString initDir;
    /// Bit 0x1000: the chosen file must exist. Bit 0x1: the dialog starts read-only.
    int flags = 0;

    [[nodiscard]] bool fileMustExist() const { return flags & 0x1000; }
    [[nodiscard]] bool readOnly() const { return flags & 0x1; }
    /// The descriptions of the filter entries, as shown to the user.
    [[nodiscard]] QStringList filterDescriptions() const;
    /// The patterns of the filter entry at a 0-based index.
    [[nodiscard]] QStringList filterPatterns(int entry) const;
    /// Whether a file name matches one of an entry's patterns, ignoring case.
    [[nodiscard]] bool matches(int entry, const QString& fileName) const;
};

/// The file-open dialog the main window asks for a picture file.
class OpenFileDialog
{
public:
    virtual ~OpenFileDialog() = default;
    virtual void setSettings(const OpenDialogSettings& settings) = 0;
    [[nodiscard]] virtual const OpenDialogSettings& settings() const = 0;
    /// Shows the dialog and returns the chosen file name; on cancel returns an
    /// empty name, or raises AppError(kCancelErrorNumber) when cancelError is set.
    [[nodiscard]] virtual QString showOpen() = 0;
};

class QtOpenFileDialog final : public OpenFileDialog
{
public:
    void setSettings(const OpenDialogSettings& settings) override { m_settings = settings; }
    [[nodiscard]] const OpenDialogSettings& settings() const override { return m_settings; }
    [[nodiscard]] QString showOpen() override;

    /// Applies the settings to a dialog; exposed so the translation can be checked without showing
    /// it.
    static void configure(QFileDialog& dialog, const OpenDialogSettings& settings);

private:
    OpenDialogSettings m_settings;
};
