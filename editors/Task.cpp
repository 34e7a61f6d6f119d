#include "editors/Task.h"

#include "editors/edTask.h"
#include "kb/Sql.h"
#include "ui/DetailPane.h"
#include "ui/Modal.h"

#include <QPushButton>
#include <QToolBar>

namespace {
const QString kTaskSelect = QStringLiteral(
    "SELECT TASK_ID OID, TASK_NAME INAME,  TRUSTLIMIT ITRUST, DESCRIPTION IDESC, O.TOPIC_ID ITID,  TOPIC_NAME ITNAME   FROM TTASK A, TTOPIC O   WHERE A.TOPIC_ID=O.TOPIC_ID AND TASK_ID>0");
}

TFrTask::TFrTask(QWidget *parent) : ui::ListForm(parent, QStringLiteral("Task"))
{
    setObjectName(QStringLiteral("FrTask"));
    setWindowTitle(QStringLiteral("Задачи"));
    resize(680, 390);
    setMinimumWidth(492);
    setColumns({{QStringLiteral("INAME"), QStringLiteral("Задача"), 179},
                {QStringLiteral("ITNAME"), QStringLiteral("Тема"), 183},
                {QStringLiteral("ITRUST"), QStringLiteral("Порог "), 68, Qt::AlignCenter}},
               true);
    setStatements(kTaskSelect + QStringLiteral(" ORDER BY TASK_NAME"),
                  kTaskSelect + QStringLiteral("  ORDER BY "));
    setMenuCaptions(QStringLiteral("Добавить задачу"), QStringLiteral("Удалить задачу"),
                    QStringLiteral("Изменить задачу"));
    setRepositioning(ui::Reposition::First, ui::Reposition::SameOid, ui::Reposition::First);
    addDependencyCheck({QStringLiteral("SELECT SUBTASK_NAME FROM TSUBTASK WHERE TASK_ID="),
                        QStringLiteral("Не удалены подзадачи этой задачи : "), ui::ListFormat::QuotedLines});
    addDependencyCheck({QStringLiteral("SELECT FACT_NAME FROM TFACT WHERE TASK_ID="),
                        QStringLiteral("Не удалены сущности этой задачи : "), ui::ListFormat::QuotedLines});
    setDeleteStatement(QStringLiteral("DELETE FROM TTASK WHERE TASK_ID="));
    toolBar()->setToolTip(QStringLiteral("Перемещение по таблице"));
    okButton()->setText(QStringLiteral("&OK"));
}

void TFrTask::editRecord(int mode, qint64 id) { editors::EditTask(this, mode, id); }

void TFrTask::RText()
{
    ui::DetailPane *p = pane();
    p->clearLines();
    ui::RecordGrid *g = grid();
    p->pair(QStringLiteral("Задача :"), g->text(QStringLiteral("INAME")));
    // Counted afresh each time: other editors change them while this list is not open.
    const QString oid = QString::number(g->oid());
    p->addLine(QStringLiteral("Сущностей - ") +
               QString::number(kb::scalarInteger(QStringLiteral("select count(*) from TFACT where TASK_ID=") + oid)));
    p->addLine(QStringLiteral("Правил - ") +
               QString::number(kb::scalarInteger(QStringLiteral("select count(*) from TRULE where TASK_ID=") + oid)));
    p->pair(QStringLiteral("Тема :"), g->text(QStringLiteral("ITNAME")));
    p->pair(QStringLiteral("Описание задачи : "), ui::memoText(g->value(QStringLiteral("IDESC"))));
    p->pair(QStringLiteral("Порог чувствительности :"), g->text(QStringLiteral("ITRUST")));
}

namespace editors {

void ShowTasks(QWidget *parent)
{
    TFrTask form(parent);
    ui::execModal(&form);
}

}  // namespace editors
