#include "mtf/celltablemodel.h"

#include <QBrush>
#include <QPalette>

namespace tarven::mtf {

int CellTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.rows(); }

int CellTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_.columns();
}

QVariant CellTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const bool heading = index.row() == 0 || index.column() == 0;
    switch (role) {
    case Qt::DisplayRole: {
        const auto text = table_.cell(index.column(), index.row());
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::BackgroundRole:
        // The fixed heading row and column look like a grid's fixed cells.
        if (heading)
            return QBrush(QPalette().color(QPalette::Button));
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

Qt::ItemFlags CellTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void CellTableModel::setCell(int c, int r, const QString& text)
{
    table_.setCell(c, r, text.toStdString());
    if (table_.contains(c, r))
        emit dataChanged(index(r, c), index(r, c), {Qt::DisplayRole});
}

} // namespace tarven::mtf
