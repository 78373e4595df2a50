// Kestrova — identity photo maker.
#include "OpenFileDialog.h"

#include "AppError.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QRegularExpression>

#include <algorithm>

namespace {

QStringList filterEntries(const QString& filter)
{
    // "desc|patterns|desc|patterns": pairs separated by '|'.
    return filter.split(QLatin1Char('|'));
}

int clampedEntry(const OpenDialogSettings& settings)
{
    const int count = int(settings.filterDescriptions().size());
    return count == 0 ? 0 : std::clamp(settings.filterIndex - 1, 0, count - 1);
}

} // namespace

QStringList OpenDialogSettings::filterDescriptions() const
{
    const QStringList parts = filterEntries(filter);
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        result << parts.at(i);
    }
    return result;
}

QStringList OpenDialogSettings::filterPatterns(int entry) const
{
    const QStringList parts = filterEntries(filter);
    const qsizetype index = qsizetype(entry) * 2 + 1;
    if (entry < 0 || index >= parts.size()) {
        return {};
    }
    return parts.at(index).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

bool OpenDialogSettings::matches(int entry, const QString& fileName) const
{
    const QStringList patterns = filterPatterns(entry);
    return std::any_of(patterns.begin(), patterns.end(), [&](const QString& pattern) {
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                    QRegularExpression::CaseInsensitiveOption);
        return re.match(fileName).hasMatch();
    });
}

void QtOpenFileDialog::configure(QFileDialog& dialog, const OpenDialogSettings& settings)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(settings.dialogTitle);
    dialog.setDirectory(settings.initDir.isEmpty() ? QDir::rootPath() : settings.initDir);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(settings.fileMustExist() ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, settings.readOnly());

    const QStringList descriptions = settings.filterDescriptions();
    if (descriptions.isEmpty()) {
        return;
    }
    dialog.setNameFilters(descriptions);
    const int entry = clampedEntry(settings);
    dialog.selectNameFilter(descriptions.at(entry));

    // The descriptions are shown exactly as given, but Qt would read the
    // ';'-separated list inside them as one pattern; apply the real patterns
    // to the dialog's file model instead, now and whenever the entry changes.
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model) {
        return;
    }
    auto applyPatterns = [model, settings, descriptions](const QString& description) {
        const int index = int(descriptions.indexOf(description));
        model->setNameFilters(settings.filterPatterns(std::max(index, 0)));
    };
    applyPatterns(descriptions.at(entry));
    QObject::connect(&dialog, &QFileDialog::filterSelected, model, applyPatterns);
}

QString QtOpenFileDialog::showOpen()
{
    QFileDialog dialog;
    configure(dialog, m_settings);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        if (m_settings.cancelError) {
            throw AppError(kCancelErrorNumber, QStringLiteral("已取消选择。"));
        }
        return {};
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}
