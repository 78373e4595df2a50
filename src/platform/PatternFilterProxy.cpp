// Kestrova — identity photo maker.
#include "PatternFilterProxy.h"

#include <QFileSystemModel>
#include <QRegularExpression>

#include <algorithm>

PatternFilterProxy::PatternFilterProxy(const QStringList& patterns, QObject* parent)
    : QSortFilterProxyModel(parent)
{
    for (const QString& pattern : patterns) {
        m_patterns << QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                         QRegularExpression::CaseInsensitiveOption);
    }
}

void PatternFilterProxy::setSourceModel(QAbstractItemModel* source)
{
    // The dialog's model still applies the pattern it read from the shown
    // text; told to only grey out what it would hide, it leaves every file
    // for this proxy to judge.
    if (auto* files = qobject_cast<QFileSystemModel*>(source)) {
        files->setNameFilterDisables(true);
    }
    QSortFilterProxyModel::setSourceModel(source);
}

bool PatternFilterProxy::matches(const QString& fileName) const
{
    return std::any_of(m_patterns.begin(), m_patterns.end(),
                       [&](const QRegularExpression& re) { return re.match(fileName).hasMatch(); });
}

bool PatternFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files) {
        return true;
    }
    const QModelIndex index = files->index(sourceRow, 0, sourceParent);
    return files->isDir(index) || matches(files->fileName(index));
}

Qt::ItemFlags PatternFilterProxy::flags(const QModelIndex& index) const
{
    // What passes the filter is a file the user may choose, whatever the
    // dialog's own pattern made of it.
    Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
    if (index.isValid()) {
        flags |= Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }
    return flags;
}
