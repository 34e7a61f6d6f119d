#include "kb/Codes.h"

namespace kb {

const QStringList RelationNames = {
    QStringLiteral("Не определено"), QStringLiteral("Больше"),
    QStringLiteral("Равно"),         QStringLiteral("Больше или равно"),
    QStringLiteral("Меньше"),        QStringLiteral("Не равно"),
    QStringLiteral("Меньше или равно"),
};

const QStringList ComplexityNames = {
    QStringLiteral("Очень малая (0)"), QStringLiteral("Малая (1)"),
    QStringLiteral("Средняя (2)"),     QStringLiteral("Большая (3)"),
    QStringLiteral("Очень большая (4)"),
};

QString relationName(int code)
{
    return code >= 0 && code < RelationNames.size() ? RelationNames[code] : QStringLiteral("?");
}

QString complexityName(int code)
{
    return code >= 0 && code < ComplexityNames.size() ? ComplexityNames[code]
                                                      : QStringLiteral("?");
}

}  // namespace kb
