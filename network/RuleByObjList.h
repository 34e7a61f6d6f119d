#pragma once
// What the rules-by-entity window lists: the rules that name an entity in their conditions
// or conclude it. Every rule of the knowledge base counts, whatever its task.

#include <QList>
#include <QString>

namespace network {

// The entity as premise (named in a rule's conditions) or as result (concluded by the rule).
enum class EntityRole { Premise = 0, Result = 1 };

// The entity's name; empty when there is no such entity.
QString factNameOf(int factId);

// Rule numbers in ascending order, each once; conditions of metarules do not count.
QList<int> rulesByObj(int factId, EntityRole role);

}  // namespace network
