// Kestrova — identity photo maker.
#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>

/// Lists the folders of a file dialog's model and only the files whose names
/// match one of a set of patterns, ignoring case. Qt takes a filter's
/// patterns from its shown text, split at spaces, so a text such as
/// "Pictures(*.bmp;*.jpg)" cannot carry them itself.
class PatternFilterProxy final : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit PatternFilterProxy(const QStringList& patterns, QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* source) override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Whether a file name matches one of the patterns.
    [[nodiscard]] bool matches(const QString& fileName) const;

protected:
    [[nodiscard]] bool filterAcceptsRow(int sourceRow,
                                        const QModelIndex& sourceParent) const override;

private:
    QList<QRegularExpression> m_patterns;
};
