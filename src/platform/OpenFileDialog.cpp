// Kestrova — identity photo maker.
#include "OpenFileDialog.h"

#include "PatternFilterProxy.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

std::optional<QString> QtOpenFileDialog::showOpen(const OpenDialogRequest& request)
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, request.readOnly);
    dialog.setNameFilter(request.filterText);
    dialog.setProxyModel(new PatternFilterProxy(request.patterns, &dialog));
    const QString start = m_lastFolder.isEmpty() ? request.startFolder : m_lastFolder;
    dialog.setDirectory(start.isEmpty() ? QDir::rootPath() : start);

    if (request.highlighted) {
        QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog,
                         [&request](const QString& path) {
                             if (QFileInfo(path).isFile()) {
                                 request.highlighted(path);
                             }
                         });
    }

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    m_lastFolder = QFileInfo(chosen).absolutePath();
    return QDir::toNativeSeparators(chosen);
}
