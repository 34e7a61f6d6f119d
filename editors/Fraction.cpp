#include "editors/Fraction.h"

#include "editors/EdSubtask.h"
#include "ui/DetailPane.h"
#include "ui/Modal.h"

TfFraction::TfFraction(QWidget *parent, const editors::TaskContext &task)
    : ui::ListForm(parent, QStringLiteral("SubTask")), task_(task)
{
    setObjectName(QStringLiteral("fFraction"));
    setWindowTitle(QStringLiteral("Подзадачи"));
    resize(682, 392);
    setMinimumSize(500, 318);
    setColumns({{QStringLiteral("ITURN"), QStringLiteral("Очередь"), 54},
                {QStringLiteral("INAME"), QStringLiteral("Название подзадачи"), 680}},
               true);
    const QString select =
        QStringLiteral("SELECT SUBTASK_ID OID, SUBTASK_NAME INAME,  COMMENTS ICOMMENTS, S.TASK_ID ITID,  TASK_NAME ITNAME , TURN ITURN  FROM TSUBTASK S, TTASK T  WHERE S.TASK_ID=T.TASK_ID  AND S.TASK_ID=") +
        QString::number(task_.taskId);
    setStatements(select + QStringLiteral(" ORDER BY SUBTASK_NAME "), select + QStringLiteral(" ORDER BY "));
    setMenuCaptions(QStringLiteral("Добавить подзадачу"), QStringLiteral("Удалить подзадачу"),
                    QStringLiteral("Исправить подзадачу"));
    setRepositioning(ui::Reposition::First, ui::Reposition::Remembered, ui::Reposition::First);
    addDependencyCheck({QStringLiteral("SELECT RULE_ID FROM TRULE WHERE SUBTASK_ID="),
                        QStringLiteral("Не удалены правила этой подзадачи : "), ui::ListFormat::Commas});
    addDependencyCheck({QStringLiteral("SELECT META_ID FROM TMETA WHERE SUBTASK_ID="),
                        QStringLiteral("Не удалены метаправила этой подзадачи : "), ui::ListFormat::Commas});
    // A metarule that starts from the subtask would be left pointing at nothing as well.
    addDependencyCheck({QStringLiteral("SELECT META_ID FROM TMETA WHERE OLDSUBTASK_ID="),
                        QStringLiteral("Не удалены метаправила этой подзадачи : "), ui::ListFormat::Commas});
    setDeleteStatement(QStringLiteral("DELETE FROM TSUBTASK WHERE SUBTASK_ID="));
}

void TfFraction::editRecord(int mode, qint64 id) { editors::EditSubtask(this, task_, mode, id); }

void TfFraction::RText()
{
    ui::DetailPane *p = pane();
    ui::RecordGrid *g = grid();
    p->clearLines();
    p->pair(QStringLiteral("Задача :"), g->text(QStringLiteral("ITNAME")));
    p->pair(QStringLiteral("Подзадача :"), g->text(QStringLiteral("INAME")));
    p->pair(QStringLiteral("Очередь :"), g->text(QStringLiteral("ITURN")));
    p->pair(QStringLiteral("Описание подзадачи : "), ui::memoText(g->value(QStringLiteral("ICOMMENTS"))));
}

namespace editors {

void ShowSubtasks(QWidget *parent, const TaskContext &task)
{
    TfFraction form(parent, task);
    ui::execModal(&form);
}

}  // namespace editors
