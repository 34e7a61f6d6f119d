#include "editors/Value.h"

#include "editors/edValue.h"
#include "kb/Sql.h"
#include "ui/DetailPane.h"
#include "ui/EditForm.h"
#include "ui/FormSize.h"
#include "ui/Guard.h"
#include "ui/ListForm.h"
#include "ui/Modal.h"
#include "ui/Prompts.h"
#include "ui/RecordGrid.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const QString kDeleteFailed = QStringLiteral("Удаление не прошло.Возможно данное значение") + QChar(13) +
                              QStringLiteral(" используется в заключениях или условиях правил или метаправил.");
const QString kInRules = QStringLiteral("Это значение используется в правилах: ");
const QString kInMetarules = QStringLiteral("Это значение используется в метаправилах: ");
}  // namespace

TfrValue::TfrValue(QWidget *parent, const editors::TaskContext &task, qint64 factId)
    : QDialog(parent), task_(task), factId_(factId)
{
    setObjectName(QStringLiteral("frValue"));
    setWindowTitle(QStringLiteral("Допустимые значения"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setSizeGripEnabled(true);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto *across = new QSplitter(Qt::Horizontal, this);
    auto *down = new QSplitter(Qt::Vertical, across);

    auto *top = new QWidget(down);
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    auto *navBar = new QToolBar(top);
    navBar->setIconSize(QSize(20, 20));
    entities_ = new ui::RecordGrid(top);
    entities_->setObjectName(QStringLiteral("DBGrid1"));
    QPalette pal = entities_->palette();
    pal.setBrush(QPalette::Base, pal.brush(QPalette::Midlight));
    entities_->setPalette(pal);
    entities_->setColumns({{QStringLiteral("INAME"), QStringLiteral("Сущность"), 406}});
    entities_->addNavigator(navBar);
    topLayout->addWidget(navBar);
    topLayout->addWidget(entities_, 1);

    auto *bottom = new QWidget(down);
    auto *bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->setSpacing(0);
    auto *cmdBar = new QToolBar(bottom);
    cmdBar->setIconSize(QSize(20, 20));
    values_ = new ui::RecordGrid(bottom);
    values_->setObjectName(QStringLiteral("DBGrid2"));
    values_->setColumns({{QStringLiteral("OMEAN"), QStringLiteral("Значение"), 408}});
    bottomLayout->addWidget(cmdBar);
    bottomLayout->addWidget(values_, 1);
    down->addWidget(top);
    down->addWidget(bottom);

    pane_ = new ui::DetailPane(across);
    across->addWidget(down);
    across->addWidget(pane_);
    across->setStretchFactor(0, 1);
    across->setSizes({440, 240});
    outer->addWidget(across, 1);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 6, 6, 6);
    buttons->addStretch(1);
    ok_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    ok_->setAutoDefault(false);
    buttons->addWidget(ok_);
    outer->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    // The value commands: tool buttons without hints, and the grid's menu with shortcuts.
    auto tool = [this, cmdBar](QStyle::StandardPixmap icon, void (TfrValue::*cmd)()) {
        QAction *a = cmdBar->addAction(style()->standardIcon(icon), QString());
        ui::connectGuarded(a, &QAction::triggered, this, [this, cmd] { (this->*cmd)(); });
    };
    tool(QStyle::SP_FileDialogNewFolder, &TfrValue::addRecord);
    tool(QStyle::SP_TrashIcon, &TfrValue::deleteRecord);
    tool(QStyle::SP_FileDialogDetailedView, &TfrValue::changeRecord);
    auto menuItem = [this](const QString &caption, const QKeySequence &key, void (TfrValue::*cmd)()) {
        auto *a = new QAction(caption, this);
        a->setShortcut(key);
        ui::connectGuarded(a, &QAction::triggered, this, [this, cmd] { (this->*cmd)(); });
        values_->addAction(a);
        return a;
    };
    menuAdd_ = menuItem(QStringLiteral("Добавить значение"), QKeySequence(Qt::CTRL | Qt::Key_I), &TfrValue::addRecord);
    menuDelete_ = menuItem(QStringLiteral("Удалить значение"), QKeySequence(Qt::CTRL | Qt::Key_D), &TfrValue::deleteRecord);
    menuChange_ = menuItem(QStringLiteral("Изменить значение"), QKeySequence(Qt::CTRL | Qt::Key_U), &TfrValue::changeRecord);
    values_->setContextMenuPolicy(Qt::ActionsContextMenu);
    ui::connectGuarded(values_, &QAbstractItemView::activated, this, [this] { changeRecord(); });

    ui::connectGuarded(entities_, &ui::RecordGrid::currentRecordChanged, this, [this] { ValueSQL(); });
    ui::connectGuarded(values_, &ui::RecordGrid::currentRecordChanged, this, [this] { RText(); });

    pane_->addLine(QStringLiteral("Данных нет"));
    resize(684, 388);
    setMinimumSize(564, 365);
}

void TfrValue::setVisible(bool visible)
{
    if (visible && !sizeApplied_) {
        sizeApplied_ = true;
        ui::fitToLayout(this);
        ui::rememberFormSize(this, QStringLiteral("Value"));
    }
    QDialog::setVisible(visible);
}

void TfrValue::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        ui::guarded(this, [this] { FormShow(); });
    }
}

void TfrValue::done(int result)
{
    entities_->close();
    values_->close();
    QDialog::done(result);
}

void TfrValue::FormShow()
{
    QStringList lines;
    lines << QStringLiteral("SELECT  FACT_ID OID,  FACT_NAME INAME, FACT_QUESTION IQUESTION  FROM TFACT WHERE TASK_ID=") +
                 QString::number(task_.taskId);
    if (factId_ != 0)
        lines << QStringLiteral("and Fact_id=") + QString::number(factId_);
    lines << QStringLiteral(" ORDER BY  FACT_NAME ");
    // The line break is what separates the task number from "and".
    entities_->open(lines.join(QLatin1Char('\n')));
}

void TfrValue::ValueSQL()
{
    if (!entities_->isEmpty())
        values_->open(QStringLiteral(" SELECT VALUE_ID OID, VALUE_MEAN OMEAN, VALUE_TEXT OTEXT FROM TVALUE WHERE FACT_ID= ") +
                      QString::number(entities_->oid()) + QStringLiteral(" ORDER BY VALUE_MEAN "));
    else
        values_->close();
    RText();
}

void TfrValue::RText()
{
    if (entities_->isEmpty())
        return;
    pane_->clearLines();
    pane_->pair(QStringLiteral("Задача :"), task_.taskName);
    pane_->pair(QStringLiteral("Название сущности :"), entities_->text(QStringLiteral("INAME")));
    pane_->pair(QStringLiteral("Вопрос к сущности :"), entities_->text(QStringLiteral("IQUESTION")));
    const bool any = values_->records()->isOpen() && !values_->isEmpty();
    pane_->pair(QStringLiteral("Допустимое значение :"), any ? values_->text(QStringLiteral("OMEAN")) : QString());
    pane_->pair(QStringLiteral("Комментарий :"),
                (any ? ui::memoText(values_->value(QStringLiteral("OTEXT"))).trimmed() : QString()) + QLatin1Char(' '));
}

void TfrValue::reopenOn(qint64 factOid)
{
    entities_->reopen();
    entities_->locate(QStringLiteral("OID"), factOid);
}

void TfrValue::addRecord()
{
    if (entities_->isEmpty())
        return;
    const qint64 fact = entities_->oid();
    editors::EditValue(this, 0, 0, fact, entities_->text(QStringLiteral("INAME")));
    reopenOn(fact);
}

void TfrValue::changeRecord()
{
    if (entities_->isEmpty() || values_->isEmpty())
        return;
    const qint64 fact = entities_->oid();
    const qint64 value = values_->oid();
    editors::EditValue(this, 1, value, fact, entities_->text(QStringLiteral("INAME")));
    reopenOn(fact);
    values_->locate(QStringLiteral("OID"), value);
}

void TfrValue::deleteRecord()
{
    if (entities_->isEmpty() || values_->isEmpty())
        return;
    ui::Prompts &prompts = ui::Prompts::instance();
    if (!prompts.ask(this, QStringLiteral("Вы уверены, что нужно удалить значение \"") +
                               values_->text(QStringLiteral("OMEAN")) + QStringLiteral("\"?")))
        return;
    const QString oid = QString::number(values_->oid());
    kb::Query work(QStringLiteral("SELECT RULE_ID FROM TRULE  WHERE VALUE_ID=") + oid);
    work.open();
    if (!work.eof()) {
        QStringList rules;
        for (; !work.eof(); work.next())
            rules << work.value(0).toString();
        prompts.warning(this, ui::listMessage(kInRules, rules, ui::ListFormat::Commas));
        return;
    }
    work.setSql(QStringLiteral("SELECT COND_ID, RULE_ID, META_ID FROM TCONDITION  WHERE VALUE_ID=") + oid);
    work.open();
    if (!work.eof()) {
        QStringList rules, metarules;
        for (; !work.eof(); work.next()) {
            if (work.asInteger(QStringLiteral("META_ID")) == -1)
                rules << work.asString(QStringLiteral("RULE_ID"));
            else
                metarules << work.asString(QStringLiteral("META_ID"));
        }
        prompts.warning(this, rules.isEmpty() ? ui::listMessage(kInMetarules, metarules, ui::ListFormat::Commas)
                                              : ui::listMessage(kInRules, rules, ui::ListFormat::Commas));
        return;
    }
    work.close();
    try {
        kb::execSql(QStringLiteral("DELETE FROM TVALUE WHERE VALUE_ID=") + oid);
    } catch (const kb::DbError &) {
        prompts.error(this, kDeleteFailed);
        return;
    }
    reopenOn(entities_->oid());
}

namespace editors {

void ShowValues(QWidget *parent, const TaskContext &task, qint64 factId)
{
    TfrValue form(parent, task, factId);
    ui::execModal(&form);
}

}  // namespace editors
