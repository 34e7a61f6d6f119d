#include "editors/Obj.h"

#include "editors/EdFact.h"
#include "kb/Codes.h"
#include "kb/Sql.h"
#include "network/DataModule.h"
#include "ui/DetailPane.h"
#include "ui/Modal.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QFont>

namespace {

const QString kValuesCheck = QStringLiteral("SELECT VALUE_MEAN FROM  TVALUE  WHERE FACT_ID=");
const QString kValuesLeft = QStringLiteral("Не удалены значения этой сущности: ");
const QString kDeleteFact = QStringLiteral("DELETE FROM TFACT WHERE FACT_ID=");
// The knowledge base does not enforce its references, so the rules and conditions that use
// the entity are looked up here; they refuse the deletion with the message of a refused
// delete statement.
const QString kRulesCheck = QStringLiteral("SELECT RULE_ID FROM TRULE WHERE FACT_ID=");
const QString kConditionsCheck = QStringLiteral("SELECT COND_ID FROM TCONDITION WHERE FACT_ID=");
const QString kDeleteFailed = QStringLiteral("Удаление не прошло.Возможно данная сущность") + QChar(13) +
                              QStringLiteral(" используется в заключениях или условиях правил или метаправил.");

QString yesNo(bool yes) { return yes ? QStringLiteral("Да") : QStringLiteral("Нет"); }

}  // namespace

TfObj::TfObj(QWidget *parent, const editors::TaskContext &task)
    : ui::ListForm(parent, QStringLiteral("Object")), task_(task)
{
    setObjectName(QStringLiteral("fObj"));
    setWindowTitle(QStringLiteral("Сущности"));
    resize(680, 384);
    setMinimumSize(570, 370);
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    setColumns({{QStringLiteral("INAME"), QStringLiteral("Сущность"), 132, left, left},
                {QStringLiteral("ISHORT"), QStringLiteral("Кратое имя"), 84, left, left},
                {QStringLiteral("ICOMPLEX"), QStringLiteral("Сложность"), 67, left, left},
                {QStringLiteral("IMULTY"), QStringLiteral("Многозначный"), 0, left, left},
                {QStringLiteral("INORMAL"), QStringLiteral("Нормализовать"), 0, left, left},
                {QStringLiteral("NON_DET"), QStringLiteral("Ответ детерминирован"), 0, left, left}},
               true);
    const QString select =
        QStringLiteral("SELECT  FACT_ID OID, FACT_NAME INAME, FACT_SHORT ISHORT,  FACT_QUESTION IQUESTION,  GOAL IGOAL, COMPLEX ICOMPLEX, NON_DET,  ALIAS IALIAS, MULTY IMULTY, FACT_TEXT ITEXT, NORMAL INORMAL  FROM TFACT  WHERE TASK_ID>0 AND TASK_ID=") +
        QString::number(task_.taskId);
    setStatements(select + QStringLiteral(" ORDER BY FACT_NAME"), select + QStringLiteral(" ORDER BY "));
    setMenuCaptions(QStringLiteral("Добавить сущность"), QStringLiteral("Убрать сущность"),
                    QStringLiteral("Изменить сущность"));
    setRepositioning(ui::Reposition::First, ui::Reposition::SameOid, ui::Reposition::First);
    addDependencyCheck({kValuesCheck, kValuesLeft, ui::ListFormat::Commas});
    addDependencyCheck({kRulesCheck, kDeleteFailed, ui::ListFormat::Commas, false});
    addDependencyCheck({kConditionsCheck, kDeleteFailed, ui::ListFormat::Commas, false});
    setDeleteStatement(kDeleteFact);
    // The grid is reached with the mouse and the shortcuts; Tab goes past it.
    grid()->setFocusPolicy(Qt::ClickFocus);
    grid()->records()->setCellHook([this](int row, const QString &alias, int role) {
        return cell(row, alias, role);
    });
    pane()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

QVariant TfObj::cell(int row, const QString &alias, int role) const
{
    const ui::RecordModel *m = grid()->records();
    if (role == Qt::FontRole) {
        // The goal entity's row reads in bold.
        QFont f = grid()->font();
        f.setBold(m->field(row, QStringLiteral("IGOAL")).toLongLong() >= 1);
        return f;
    }
    const qint64 v = m->field(row, alias).toLongLong();
    if (alias == QLatin1String("ICOMPLEX"))
        return kb::complexityName(int(v));
    if (alias == QLatin1String("IMULTY") || alias == QLatin1String("INORMAL"))
        return yesNo(v != 0);
    if (alias == QLatin1String("NON_DET"))
        return yesNo(v != 1);  // the column tells whether the answer is deterministic
    return {};
}

QString TfObj::deleteQuestion() const
{
    return QStringLiteral("Вы уверены, что нужно удалить объект \"") + grid()->text(QStringLiteral("INAME")) +
           QStringLiteral("\"?");
}

QString TfObj::deleteFailedMessage() const { return kDeleteFailed; }

void TfObj::editRecord(int mode, qint64 id) { editors::EditFact(this, task_, mode, id); }

void TfObj::RText()
{
    ui::DetailPane *p = pane();
    ui::RecordGrid *g = grid();
    p->clearLines();
    const bool any = !g->isEmpty();
    auto number = [g](const char *field) { return g->value(QString::fromLatin1(field)).toLongLong(); };
    // An empty list shows the labels with empty values.
    auto yn = [any](bool yes) { return any ? yesNo(yes) : QString(); };
    p->pair(QStringLiteral("Задача :"), task_.taskName);
    p->pair(QStringLiteral("Название сущности :"), g->text(QStringLiteral("INAME")));
    p->pair(QStringLiteral("Краткое название :"), g->text(QStringLiteral("ISHORT")));
    p->pair(QStringLiteral("Описание сущности :"), ui::memoText(g->value(QStringLiteral("ITEXT"))).trimmed());
    p->pair(QStringLiteral("Многозначный :"), yn(number("IMULTY") > 0));
    p->pair(QStringLiteral("Вопрос :"), g->text(QStringLiteral("IQUESTION")));
    p->pair(QStringLiteral("Алиас :"), g->text(QStringLiteral("IALIAS")) + QLatin1Char(' '));
    p->pair(QStringLiteral("Сложность :"), any ? kb::complexityName(int(number("ICOMPLEX"))) : QString());
    p->pair(QStringLiteral("Нормализуется коэффициент достоверности :"), yn(number("INORMAL") > 0));
    p->pair(QStringLiteral("Ответ детерминирован :"), yn(number("NON_DET") == 0));
    p->pair(QStringLiteral("Выводится как результат :"), yn(number("IGOAL") > 0));
}

void TfObj::FormClose()
{
    ui::WaitCursor wait;
    TDataModule1::instance().FreshGraph(task_.taskId);
}

namespace editors {

void ShowFacts(QWidget *parent, const TaskContext &task)
{
    TfObj form(parent, task);
    ui::execModal(&form);
}

bool DeleteFact(QWidget *parent, qint64 factId)
{
    const QString id = QString::number(factId);
    kb::Query work(kValuesCheck + id);
    work.open();
    if (!work.eof()) {
        QStringList values;
        for (; !work.eof(); work.next())
            values << work.value(0).toString();
        ui::Prompts::instance().warning(parent, ui::listMessage(kValuesLeft, values, ui::ListFormat::Commas));
        return false;
    }
    for (const QString &check : {kRulesCheck, kConditionsCheck}) {
        work.setSql(check + id);
        work.open();
        if (!work.eof()) {
            ui::Prompts::instance().warning(parent, kDeleteFailed);
            return false;
        }
    }
    work.close();
    try {
        kb::execSql(kDeleteFact + id);
    } catch (const kb::DbError &) {
        ui::Prompts::instance().error(parent, kDeleteFailed);
        return false;
    }
    return true;
}

}  // namespace editors
