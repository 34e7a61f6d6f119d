#pragma once
// The constant tables shared by every window that shows a condition or an entity.

#include <QString>
#include <QStringList>

namespace kb {

// Names of the relation codes 0..6 of TCONDITION.NOTEQUAL.
extern const QStringList RelationNames;
// Names of the complexity codes 0..4 of TFACT.COMPLEX.
extern const QStringList ComplexityNames;

// The name of a code, or "?" for a code outside the table (a knowledge base written by
// another tool may hold one).
QString relationName(int code);
QString complexityName(int code);

// Relation codes.
enum Relation { RelUndefined = 0, RelGreater = 1, RelEqual = 2, RelGreaterEqual = 3,
                RelLess = 4, RelNotEqual = 5, RelLessEqual = 6 };

}  // namespace kb
