#include "ui/ListForm.h"

#include "kb/Sql.h"
#include "ui/DetailPane.h"
#include "ui/EditForm.h"
#include "ui/FormSize.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace ui {

QString listMessage(const QString &prefix, const QStringList &items, ListFormat format)
{
    QString text = prefix;
    if (format == ListFormat::QuotedLines) {
        // Line feed before carriage return: the order the messages have always had.
        for (const QString &item : items)
            text += QStringLiteral("\n\r\"") + item + QLatin1Char('"');
    } else {
        text += items.join(QStringLiteral(", "));
    }
    return text;
}

ListForm::ListForm(QWidget *parent, const QString &sizeSection) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setSizeGripEnabled(true);

    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);

    toolBar_ = new QToolBar(this);
    toolBar_->setIconSize(QSize(20, 20));
    layout_->addWidget(toolBar_);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    grid_ = new RecordGrid(splitter_);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    pane_ = new DetailPane(splitter_);
    splitter_->addWidget(grid_);
    splitter_->addWidget(pane_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    splitter_->setChildrenCollapsible(false);
    layout_->addWidget(splitter_, 1);

    bottom_ = new QHBoxLayout;
    bottom_->setContentsMargins(6, 6, 6, 6);
    bottom_->addStretch(1);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("BitBtnOk"));
    ok_->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ok_->setAutoDefault(false);
    bottom_->addWidget(ok_);
    layout_->addLayout(bottom_);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    grid_->addNavigator(toolBar_);
    toolBar_->addSeparator();
    auto tool = [this](QStyle::StandardPixmap icon, const QString &hint, void (ListForm::*cmd)()) {
        QAction *a = toolBar_->addAction(style()->standardIcon(icon), hint);
        a->setToolTip(hint);
        connectGuarded(a, &QAction::triggered, this, [this, cmd] { (this->*cmd)(); });
        return a;
    };
    tool(QStyle::SP_FileDialogNewFolder, QStringLiteral("Добавить запись"), &ListForm::addRecord)
        ->setObjectName(QStringLiteral("toolAdd"));
    tool(QStyle::SP_TrashIcon, QStringLiteral("Удалить запись"), &ListForm::deleteRecord)
        ->setObjectName(QStringLiteral("toolDelete"));
    tool(QStyle::SP_FileDialogDetailedView, QStringLiteral("Исправить запись"), &ListForm::changeRecord)
        ->setObjectName(QStringLiteral("toolChange"));

    auto menuItem = [this](const QKeySequence &key, void (ListForm::*cmd)()) {
        auto *a = new QAction(this);
        a->setShortcut(key);
        connectGuarded(a, &QAction::triggered, this, [this, cmd] { (this->*cmd)(); });
        grid_->addAction(a);
        return a;
    };
    menuAdd_ = menuItem(QKeySequence(Qt::CTRL | Qt::Key_I), &ListForm::addRecord);
    menuDelete_ = menuItem(QKeySequence(Qt::CTRL | Qt::Key_D), &ListForm::deleteRecord);
    menuChange_ = menuItem(QKeySequence(Qt::CTRL | Qt::Key_U), &ListForm::changeRecord);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    // Enter or a double-click on a row changes the record.
    connectGuarded(grid_, &QAbstractItemView::activated, this, [this] { changeRecord(); });

    connectGuarded(grid_, &RecordGrid::currentRecordChanged, this, [this] { RText(); });
    connect(grid_, &RecordGrid::titleClicked, this, [this](int column, const QString &) {
        guarded(this, [this, column] { sortBy(column); });
    });

    sizeSection_ = sizeSection;
}

void ListForm::setVisible(bool visible)
{
    // The remembered size goes on before the form first appears, over its designed size.
    if (visible && !sizeApplied_) {
        sizeApplied_ = true;
        fitToLayout(this);
        rememberFormSize(this, sizeSection_);
    }
    QDialog::setVisible(visible);
}

void ListForm::setColumns(const QList<GridColumn> &columns, bool sortable)
{
    grid_->setColumns(columns);
    grid_->setSortable(sortable);
    int width = 4;
    for (int c = 0; c < columns.size(); ++c)
        width += grid_->columnWidth(c);
    // The grid gets its columns' width, but the pane keeps at least a third of the form.
    width = std::min(width, this->width() * 2 / 3);
    splitter_->setSizes({width, std::max(160, this->width() - width)});
}

void ListForm::setStatements(const QString &listSql, const QString &sortPrefix)
{
    listSql_ = listSql;
    sortPrefix_ = sortPrefix;
}

void ListForm::setMenuCaptions(const QString &add, const QString &remove, const QString &change)
{
    menuAdd_->setText(add);
    menuDelete_->setText(remove);
    menuChange_->setText(change);
}

void ListForm::setRepositioning(Reposition afterAdd, Reposition afterChange, Reposition afterDelete)
{
    afterAdd_ = afterAdd;
    afterChange_ = afterChange;
    afterDelete_ = afterDelete;
}

QString ListForm::deleteQuestion() const
{
    return QStringLiteral("Вы уверены, что нужно удалить запись?");
}

void ListForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        guarded(this, [this] { grid_->open(listSql_); });
    }
}

void ListForm::done(int result)
{
    if (!closed_) {
        closed_ = true;
        guarded(this, [this] { FormClose(); });
    }
    QDialog::done(result);
}

void ListForm::reopen(Reposition how, qint64 oid, int row)
{
    grid_->open(listSql_);
    switch (how) {
    case Reposition::First:
        break;
    case Reposition::Remembered:
        grid_->setCurrentRow(row);
        break;
    case Reposition::SameOid:
        grid_->locate(QStringLiteral("OID"), oid);
        break;
    case Reposition::Last:
        grid_->last();
        break;
    }
}

void ListForm::addRecord()
{
    const qint64 oid = grid_->isEmpty() ? 0 : grid_->oid();
    const int row = grid_->currentRow();
    editRecord(0, 0);
    reopen(afterAdd_, oid, row);
}

void ListForm::changeRecord()
{
    if (grid_->isEmpty())
        return;
    const qint64 oid = grid_->oid();
    const int row = grid_->currentRow();
    editRecord(1, oid);
    reopen(afterChange_, oid, row);
}

void ListForm::deleteRecord()
{
    if (grid_->isEmpty())
        return;
    if (!Prompts::instance().ask(this, deleteQuestion()))
        return;
    const QString oid = QString::number(grid_->oid());
    // The work query: the list keeps its current record while the checks run.
    kb::Query work;
    for (const DependencyCheck &check : checks_) {
        work.setSql(check.sqlPrefix + oid);
        work.open();
        if (work.eof())
            continue;
        QStringList items;
        for (; !work.eof(); work.next())
            items << work.value(0).toString();
        Prompts::instance().warning(
            this, check.listItems ? listMessage(check.messagePrefix, items, check.format)
                                  : check.messagePrefix);
        return;
    }
    work.close();
    const QString failed = deleteFailedMessage();
    try {
        kb::execSql(deletePrefix_ + oid);
    } catch (const kb::DbError &) {
        if (failed.isEmpty())
            throw;
        Prompts::instance().error(this, failed);
        return;
    }
    reopen(afterDelete_, grid_->oid(), grid_->currentRow());
}

void ListForm::sortBy(int column)
{
    const QList<GridColumn> &columns = grid_->records()->columns();
    if (column < 0 || column >= columns.size())
        return;
    grid_->records()->setHighlightedColumn(column);
    listSql_ = sortPrefix_ + columns[column].alias;
    grid_->open(listSql_);
}

}  // namespace ui
