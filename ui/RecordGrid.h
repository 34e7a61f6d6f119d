#pragma once
// The grid of a list form: the rows of one SELECT held in memory, shown by column alias, with
// a current record that the commands, the detail pane and the navigator work on.

#include "kb/Sql.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>

#include <functional>

class QToolBar;

namespace ui {

// One grid column: the field alias it shows, its title, its width (0 = the grid's default).
struct GridColumn {
    QString alias;
    QString title;
    int width = 0;
    Qt::Alignment cellAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment titleAlignment = Qt::AlignCenter;
};

// A long-text field as one string, ending at its first zero byte (as StreamToText reads it).
using kb::memoText;

// The rows of one SELECT. Fields are looked up by name without regard to letter case.
class RecordModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordModel(QObject *parent = nullptr);

    void setColumns(const QList<GridColumn> &columns);
    const QList<GridColumn> &columns() const { return columns_; }

    // Runs the SELECT (kb::DbError on failure) and holds all of its rows.
    void open(const QString &sql);
    void close();
    QString sql() const { return sql_; }
    bool isOpen() const { return open_; }

    // A field of a row; an empty value for a row outside the result. A field the statement
    // does not have throws kb::DbError (a wrong alias is a program fault worth seeing).
    QVariant field(int row, const QString &name) const;
    QString text(int row, const QString &name) const { return field(row, name).toString(); }
    int findRow(const QString &name, const QVariant &value) const;
    int columnOf(const QString &alias) const;

    // The column whose title is shown highlighted (the sort column), -1 for none.
    void setHighlightedColumn(int column);
    int highlightedColumn() const { return highlighted_; }

    // Lets a form draw its cells its own way: returns the text or font of a cell, or an
    // invalid QVariant for the default.
    using CellHook = std::function<QVariant(int row, const QString &alias, int role)>;
    void setCellHook(CellHook hook) { hook_ = std::move(hook); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int fieldIndex(const QString &name) const;

    QList<GridColumn> columns_;
    QString sql_;
    bool open_ = false;
    QStringList names_;  // upper case
    QList<QVariantList> rows_;
    int highlighted_ = -1;
    CellHook hook_;
};

// A read-only grid over a RecordModel with a current record.
class RecordGrid : public QTableView {
    Q_OBJECT
public:
    explicit RecordGrid(QWidget *parent = nullptr);

    RecordModel *records() const { return model_; }
    void setColumns(const QList<GridColumn> &columns);
    // Whether a click on a column title asks for sorting (titleClicked).
    void setSortable(bool sortable) { sortable_ = sortable; }
    bool isSortable() const { return sortable_; }

    // Runs the statement; the first record becomes current (none when the result is empty).
    void open(const QString &sql);
    // Runs the same statement again, keeping nothing of the old position.
    void reopen() { open(model_->sql()); }
    void close();

    bool isEmpty() const { return model_->rowCount() == 0; }
    int rowCount() const { return model_->rowCount(); }
    int currentRow() const { return current_; }
    // Makes a row current (clamped to the result); announces the change.
    void setCurrentRow(int row);
    // Makes current the first row whose field equals the value; false when there is none.
    bool locate(const QString &field, const QVariant &value);

    QVariant value(const QString &field) const { return model_->field(current_, field); }
    QString text(const QString &field) const { return value(field).toString(); }
    qint64 oid() const { return value(QStringLiteral("OID")).toLongLong(); }

    void first() { setCurrentRow(0); }
    void prior() { setCurrentRow(current_ - 1); }
    void next() { setCurrentRow(current_ + 1); }
    void last() { setCurrentRow(rowCount() - 1); }

    // Adds the record navigator (first, previous, next, last) to a tool bar.
    void addNavigator(QToolBar *bar);

signals:
    // The current record changed (also after every opening that yields or loses records).
    void currentRecordChanged();
    // A column title was clicked in a sortable grid.
    void titleClicked(int column, const QString &alias);

private:
    void selectionMoved(const QModelIndex &current);

    RecordModel *model_;
    int current_ = -1;
    bool sortable_ = false;
    bool moving_ = false;
};

}  // namespace ui
