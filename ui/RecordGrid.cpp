#include "ui/RecordGrid.h"

#include "kb/Sql.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPalette>
#include <QStyle>
#include <QToolBar>

namespace ui {

// --- RecordModel ---------------------------------------------------------------------------

RecordModel::RecordModel(QObject *parent) : QAbstractTableModel(parent) {}

void RecordModel::setColumns(const QList<GridColumn> &columns)
{
    beginResetModel();
    columns_ = columns;
    endResetModel();
}

void RecordModel::open(const QString &sql)
{
    kb::Query q(sql);
    q.open();
    QStringList names;
    for (int i = 0; i < q.fieldCount(); ++i)
        names << q.fieldName(i).toUpper();
    QList<QVariantList> rows;
    for (; !q.eof(); q.next()) {
        QVariantList row;
        row.reserve(names.size());
        for (int i = 0; i < names.size(); ++i)
            row << q.value(i);
        rows << row;
    }
    beginResetModel();
    sql_ = sql;
    names_ = names;
    rows_ = rows;
    open_ = true;
    endResetModel();
}

void RecordModel::close()
{
    beginResetModel();
    rows_.clear();
    open_ = false;
    endResetModel();
}

int RecordModel::fieldIndex(const QString &name) const
{
    const int i = names_.indexOf(name.toUpper());
    if (i < 0 && open_)
        throw kb::DbError(QStringLiteral("Поле '%1' не найдено").arg(name));
    return i;
}

QVariant RecordModel::field(int row, const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0 || row < 0 || row >= rows_.size())
        return {};
    return rows_[row][i];
}

int RecordModel::findRow(const QString &name, const QVariant &value) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        return -1;
    for (int r = 0; r < rows_.size(); ++r)
        if (rows_[r][i].toString() == value.toString())
            return r;
    return -1;
}

int RecordModel::columnOf(const QString &alias) const
{
    for (int c = 0; c < columns_.size(); ++c)
        if (columns_[c].alias.compare(alias, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void RecordModel::setHighlightedColumn(int column)
{
    highlighted_ = column;
    if (!columns_.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(columns_.size()) - 1);
}

int RecordModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int RecordModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant RecordModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size() || index.column() >= columns_.size())
        return {};
    const GridColumn &col = columns_[index.column()];
    if (hook_ && (role == Qt::DisplayRole || role == Qt::FontRole)) {
        const QVariant v = hook_(index.row(), col.alias, role);
        if (v.isValid())
            return v;
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const int i = names_.indexOf(col.alias.toUpper());
        return i < 0 ? QVariant() : QVariant(memoText(rows_[index.row()][i]));
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(col.cellAlignment);
    default:
        return {};
    }
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return columns_[section].title;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columns_[section].titleAlignment);
    case Qt::BackgroundRole:
        // After a title click the sort column's title is white and the others button face.
        if (highlighted_ < 0)
            return {};
        return section == highlighted_ ? QBrush(Qt::white)
                                       : QApplication::palette().brush(QPalette::Button);
    default:
        return {};
    }
}

// --- RecordGrid ----------------------------------------------------------------------------

RecordGrid::RecordGrid(QWidget *parent) : QTableView(parent), model_(new RecordModel(this))
{
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(true);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { selectionMoved(current); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (sortable_ && section >= 0 && section < model_->columns().size())
            emit titleClicked(section, model_->columns()[section].alias);
    });
}

void RecordGrid::setColumns(const QList<GridColumn> &columns)
{
    model_->setColumns(columns);
    // The designed widths, but never narrower than the title in the font in use.
    const QFontMetrics fm(horizontalHeader()->font());
    for (int c = 0; c < columns.size(); ++c) {
        const int title = fm.horizontalAdvance(columns[c].title) + 12;
        const int width = columns[c].width > 0 ? columns[c].width : horizontalHeader()->defaultSectionSize();
        setColumnWidth(c, std::max(width, title));
    }
}

void RecordGrid::open(const QString &sql)
{
    model_->open(sql);
    current_ = -1;
    setCurrentRow(0);
    if (isEmpty())
        emit currentRecordChanged();
}

void RecordGrid::close()
{
    model_->close();
    current_ = -1;
}

void RecordGrid::setCurrentRow(int row)
{
    if (isEmpty()) {
        current_ = -1;
        return;
    }
    row = std::clamp(row, 0, rowCount() - 1);
    if (row == current_)
        return;
    current_ = row;
    moving_ = true;
    const QModelIndex index = model_->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
    moving_ = false;
    emit currentRecordChanged();
}

void RecordGrid::selectionMoved(const QModelIndex &current)
{
    if (moving_ || !current.isValid() || current.row() == current_)
        return;
    current_ = current.row();
    emit currentRecordChanged();
}

bool RecordGrid::locate(const QString &field, const QVariant &value)
{
    const int row = model_->findRow(field, value);
    if (row < 0)
        return false;
    setCurrentRow(row);
    return true;
}

void RecordGrid::addNavigator(QToolBar *bar)
{
    struct Button {
        QStyle::StandardPixmap icon;
        const char *hint;
        void (RecordGrid::*move)();
    };
    const Button buttons[] = {
        {QStyle::SP_MediaSkipBackward, "Первая запись", &RecordGrid::first},
        {QStyle::SP_MediaSeekBackward, "Предыдущая запись", &RecordGrid::prior},
        {QStyle::SP_MediaSeekForward, "Следующая запись", &RecordGrid::next},
        {QStyle::SP_MediaSkipForward, "Последняя запись", &RecordGrid::last},
    };
    for (const Button &b : buttons) {
        QAction *a = bar->addAction(style()->standardIcon(b.icon), QString::fromUtf8(b.hint));
        a->setToolTip(QString::fromUtf8(b.hint));
        a->setObjectName(QStringLiteral("nav_") + QString::fromUtf8(b.hint));
        auto move = b.move;
        connect(a, &QAction::triggered, this, [this, move] { (this->*move)(); });
    }
}

}  // namespace ui
