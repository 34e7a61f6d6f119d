#pragma once
// The texts of the two inspection views: one entity with its values in a consultation, and
// one rule from "Если" to "то". Built as report lines, without widgets; the rule text is
// shared by the rule view and the rules-by-entity window.

#include "kb/Report.h"

namespace consultation {

// The entity's names, question, complexity and kind, its current values in the sitting with
// their certainty and, for a symbolic entity, all its admissible values.
kb::Report ObjText(int factId, int sittingId);

// The rule's subtask, its conditions and its conclusion with its certainty.
kb::Report RText(int ruleId);

}  // namespace consultation
