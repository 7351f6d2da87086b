#pragma once
// The pixel table of the MTF window as a Qt model: model index (row r,
// column c) is cell (c, r) of the table, headings included. The texts stay
// in the Qt-free CellTable, so a 2049 x 2049 table costs no item objects.
#include "mtf/celltable.h"

#include <QAbstractTableModel>

namespace tarven::mtf {

class CellTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CellTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const CellTable& table() const { return table_; }
    // Changes the table as a whole and tells the views once.
    template <class F>
    void edit(F&& change)
    {
        beginResetModel();
        try {
            change(table_);
        } catch (...) {
            endResetModel();
            throw;
        }
        endResetModel();
    }
    // One cell, shown at once.
    void setCell(int c, int r, const QString& text);

private:
    CellTable table_{257, 257};
};

} // namespace tarven::mtf
