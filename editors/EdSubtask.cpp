#include "editors/EdSubtask.h"

#include "kb/Sql.h"
#include "ui/Modal.h"
#include "ui/Prompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TfEdSubtask::TfEdSubtask(QWidget *parent, const editors::TaskContext &task, int mode, qint64 subtaskId)
    : ui::EditForm(parent, QStringLiteral("EdSubtask"), mode, subtaskId, QStringLiteral("Сохранить")),
      task_(task)
{
    setObjectName(QStringLiteral("fEdSubtask"));
    auto *v = new QVBoxLayout(this);
    auto labelled = [this, v](const QString &caption, QWidget *box, int stretch = 0) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(box);
        v->addWidget(label);
        v->addWidget(box, stretch);
    };
    task_box_ = new QLineEdit(this);
    task_box_->setObjectName(QStringLiteral("Edit2"));
    task_box_->setReadOnly(true);
    task_box_->setFocusPolicy(Qt::NoFocus);
    QPalette pal = task_box_->palette();
    pal.setBrush(QPalette::Base, pal.brush(QPalette::Button));
    task_box_->setPalette(pal);
    ui::makeBold(task_box_);
    labelled(QStringLiteral("Задача"), task_box_);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("Edit1"));
    ui::makeBold(name_);
    labelled(QStringLiteral("Подзадача"), name_);
    turn_ = ui::numberBox(3, this);
    turn_->setObjectName(QStringLiteral("MaskEdit1"));
    turn_->setMaximumWidth(60);
    ui::makeBold(turn_);
    labelled(QStringLiteral("Очередь"), turn_);
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    labelled(QStringLiteral("Описание"), memo_, 1);
    v->addLayout(buttonRow());

    resize(521, 294);
    setMinimumWidth(408);
    setFixedHeight(294);
}

void TfEdSubtask::FormShow()
{
    task_box_->setText(task_.taskName);
    if (mode() == 1) {
        setWindowTitle(QStringLiteral("Редактирование подзадачи"));
        kb::Query load(QStringLiteral(" SELECT SUBTASK_ID OID, SUBTASK_NAME INAME,  COMMENTS ICOMMENTS, TASK_ID ITID, TURN ITURN  FROM TSUBTASK  WHERE SUBTASK_ID=") +
                       QString::number(recordId()));
        load.open();
        name_->setText(load.asString(QStringLiteral("INAME")));
        memo_->setPlainText(kb::StreamToText(load, QStringLiteral("ICOMMENTS")));
        turn_->setText(load.asString(QStringLiteral("ITURN")));
    } else {
        setWindowTitle(QStringLiteral("Ввод новой подзадачи"));
        name_->clear();
        memo_->clear();
        turn_->setText(QStringLiteral("0"));
    }
    name_->setFocus();
}

bool TfEdSubtask::save()
{
    if (name_->text().isEmpty()) {
        ui::Prompts::instance().warning(this, QStringLiteral("Введите название подзадачи"));
        return false;
    }
    const int turn = ui::wholeNumber(turn_, QStringLiteral("Очередь"));
    kb::Query q;
    if (mode() == 0) {
        q.setSql(QStringLiteral(" INSERT  INTO TSUBTASK  (SUBTASK_NAME, COMMENTS, TURN, TASK_ID)  VALUES (:P0,  :P1, :P2, :P3)"));
    } else {
        q.setSql(QStringLiteral("UPDATE TSUBTASK  SET  SUBTASK_NAME=:P0,  COMMENTS=:P1,  TURN=:P2,  TASK_ID=:P3  WHERE SUBTASK_ID=:P4"));
        q.setInteger(QStringLiteral("P4"), recordId());
    }
    q.setString(QStringLiteral("P0"), name_->text());
    q.setMemo(QStringLiteral("P1"), memo_->toPlainText());
    q.setFloat(QStringLiteral("P2"), turn);
    q.setFloat(QStringLiteral("P3"), task_.taskId);
    q.exec();  // a failure goes to the general error display; the form stays open
    return true;
}

namespace editors {

void EditSubtask(QWidget *parent, const TaskContext &task, int mode, qint64 subtaskId)
{
    TfEdSubtask form(parent, task, mode, subtaskId);
    ui::execModal(&form);
}

}  // namespace editors
