#include "consultation/Inspection.h"

#include "kb/Codes.h"
#include "kb/Sql.h"

namespace consultation {

using kb::numberText;
using kb::quoted;

kb::Report ObjText(int factId, int sittingId)
{
    kb::Report report;
    const QString fact = QString::number(factId);
    const QString sitting = QString::number(sittingId);

    kb::Query f(QStringLiteral("SELECT FACT_NAME, FACT_QUESTION, FACT_SHORT, COMPLEX, MULTY, TYPE  "
                               "FROM TFACT  WHERE FACT_ID=") +
                fact);
    f.open();
    if (f.eof()) {
        // The entity was deleted since the drawing was built: say so rather than describe
        // an empty record as a numeric entity.
        report.plain(QStringLiteral("Сущность № ") + fact + QStringLiteral(" не найдена"));
        return report;
    }
    const bool symbolic = f.asString(QStringLiteral("TYPE")) == QLatin1String("C");

    report.bold(QStringLiteral("Название - ") + f.asString(QStringLiteral("FACT_NAME")));
    report.plain(QStringLiteral("Краткое название - ") + f.asString(QStringLiteral("FACT_SHORT")));
    report.plain(QStringLiteral("Вопрос - ") + f.asString(QStringLiteral("FACT_QUESTION")));
    report.plain(QStringLiteral("Сложность - ") +
                 kb::complexityName(int(f.asInteger(QStringLiteral("COMPLEX")))));
    report.plain(f.asInteger(QStringLiteral("MULTY")) != 0 ? QStringLiteral("Многозначная")
                                                            : QStringLiteral("Однозначная"));
    report.plain(QStringLiteral(" "));

    kb::Query current(
        symbolic ? QStringLiteral("SELECT VALUE_MEAN, TRUST FROM TRFACT R, TVALUE V  WHERE "
                                  "R.VALUE_ID=V.VALUE_ID AND R.FACT_ID=") +
                       fact + QStringLiteral(" AND R.SITTING_ID=") + sitting +
                       QStringLiteral(" Order by VALUE_MEAN")
                 : QStringLiteral("SELECT VALUE_NUMBER, TRUST FROM TRFACT R WHERE R.FACT_ID=") + fact +
                       QStringLiteral(" AND R.SITTING_ID=") + sitting +
                       QStringLiteral(" Order by VALUE_number"));
    current.open();

    report.plain(symbolic ? QStringLiteral("Список символьных значений")
                          : QStringLiteral("Численное значение"));
    report.plain(QStringLiteral(" "));
    report.bold(QStringLiteral("Текущее значение:"));
    if (current.eof())
        report.plain(QStringLiteral("Не определено"));
    for (int n = 1; !current.eof(); current.next(), ++n) {
        const QString value = symbolic ? current.asString(QStringLiteral("VALUE_MEAN"))
                                       : numberText(current.value(QStringLiteral("VALUE_NUMBER")));
        report.plain(QString::number(n) + QStringLiteral(") ") + value +
                     QStringLiteral(", с достоверностью ") +
                     numberText(current.value(QStringLiteral("TRUST"))));
    }

    if (symbolic) {
        report.plain(QStringLiteral(" "));
        report.bold(QStringLiteral("Все допустимые значения:"));
        kb::Query values(QStringLiteral("SELECT VALUE_MEAN FROM TVALUE WHERE FACT_ID=") + fact +
                         QStringLiteral(" ORDER BY VALUE_MEAN"));
        values.open();
        for (int n = 1; !values.eof(); values.next(), ++n)
            report.plain(QString::number(n) + QStringLiteral(") ") +
                         values.asString(QStringLiteral("VALUE_MEAN")));
    }
    return report;
}

kb::Report RText(int ruleId)
{
    kb::Report report;
    const QString rule = QString::number(ruleId);

    kb::Query s(QStringLiteral(" SELECT SUBTASK_NAME FROM TSUBTASK S, TRULE R WHERE "
                               "S.SUBTASK_ID=R.SUBTASK_ID AND R.RULE_ID=") +
                rule);
    s.open();
    report.plain(QStringLiteral("Подзадача : ") + s.value(0).toString());
    report.plain(QString());

    report.bold(QStringLiteral("Если"));
    // A condition on a symbolic entity shows its value, one on a numeric entity its
    // expression; both come in the order they were entered.
    kb::Query c(QStringLiteral("SELECT C.COND_ID, FACT_NAME, VALUE_MEAN MEAN, NOTEQUAL FROM TCONDITION C, "
                               "TFACT F, TVALUE V WHERE C.FACT_ID=F.FACT_ID AND C.VALUE_ID=V.VALUE_ID  "
                               "AND TYPE='C' AND RULE_ID=") +
                rule +
                QStringLiteral(" UNION SELECT C.COND_ID, FACT_NAME, ACTION MEAN, NOTEQUAL "
                               "FROM TCONDITION C, TFACT F WHERE C.FACT_ID=F.FACT_ID  AND TYPE<>'C' "
                               "AND RULE_ID=") +
                rule + QStringLiteral(" ORDER BY 1"));
    c.open();
    for (bool first = true; !c.eof(); c.next(), first = false) {
        if (!first)
            report.bold(QStringLiteral("и"));
        report.plain(QStringLiteral("  ") + quoted(c.asString(QStringLiteral("FACT_NAME"))) +
                     QLatin1Char(' ') +
                     kb::relationName(int(c.asInteger(QStringLiteral("NOTEQUAL")))).toLower() +
                     QLatin1Char(' ') + c.asString(QStringLiteral("MEAN")));
    }

    report.bold(QStringLiteral("то"));
    kb::Query r(QStringLiteral("SELECT FACT_NAME, VALUE_MEAN MEAN, TRUST FROM TRULE R, TFACT F, TVALUE V "
                               "WHERE R.FACT_ID=F.FACT_ID AND R.VALUE_ID=V.VALUE_ID AND RULE_ID=") +
                rule +
                QStringLiteral(" UNION SELECT FACT_NAME, ACTION MEAN, TRUST FROM TRULE R, TFACT F "
                               "WHERE R.FACT_ID=F.FACT_ID AND R.Value_id=-1 AND RULE_ID=") +
                rule);
    r.open();
    report.plain(QStringLiteral("  ") + quoted(r.asString(QStringLiteral("FACT_NAME"))) +
                 QStringLiteral(" : ") + r.asString(QStringLiteral("MEAN")));
    report.plain(QStringLiteral("  с достоверностью ") + numberText(r.value(QStringLiteral("TRUST"))));
    return report;
}

}  // namespace consultation
