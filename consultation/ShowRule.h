#pragma once
// The rule view "Правило N": one rule as a text from "Если" to "то". Read-only; one OK
// button closes it.

#include "ui/ReportDialog.h"

namespace consultation {

class TfShowRule : public ui::ReportDialog {
    Q_OBJECT
public:
    TfShowRule(QWidget *parent, int ruleId);
};

// Shows the rule view modally, centred on the screen.
void ShowRule(QWidget *parent, int ruleId);

}  // namespace consultation
