#pragma once
// The two read-only listings of the current task's knowledge on the main window's pages:
// every entity with its complexity, multiplicity and admissible values, and every rule with
// its subtask, conclusion, certainty and conditions. Built as report lines, without widgets.

#include "kb/Report.h"

#include <QString>

#include <functional>

namespace app {

// The two orderings of the entities listing (the ids of its radio buttons).
enum class FactOrder { Alphabetical = 0, Entry = 1 };
// The two orderings of the rules listing (the ids of its radio buttons).
enum class RuleOrder { ByRule = 0, BySubtask = 1 };

// The words of a relation code, as the inference engine library gives them.
using RelationWords = std::function<QString(int code)>;

// The entities of a task with their values.
kb::Report factValueListing(int taskId, FactOrder order);

// The rules of a task with their conditions. Numeric conclusions and conditions show their
// expression where a symbolic one shows its value.
kb::Report ruleCondListing(int taskId, RuleOrder order, const RelationWords &relations);

}  // namespace app
