// A table whose rows are only ever added at the end, or all dropped at once (a
// Clear): a refresh tells the views about new rows and changed cells without a
// reset, so their selection and scroll position survive.
#pragma once

#include <QAbstractTableModel>

class AppendingTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }

protected:
    // Brings the table to `size` rows and marks every cell changed.
    void followRows(int size) {
        if (size < rows_) {
            beginResetModel();
            rows_ = size;
            endResetModel();
            return;
        }
        if (size > rows_) {
            beginInsertRows({}, rows_, size - 1);
            rows_ = size;
            endInsertRows();
        }
        if (rows_ > 0) {
            emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
        }
    }

    int rows_ = 0;
};
