#pragma once
// The rule view "Правило N": one rule as a text from "Если" to "то". Read-only; one OK
// button closes it.

#include <QDialog>

class QPushButton;

namespace ui {
class ReportPane;
}

namespace consultation {

class TfShowRule : public QDialog {
    Q_OBJECT
public:
    TfShowRule(QWidget *parent, int ruleId);

    ui::ReportPane *pane() const { return pane_; }
    QPushButton *okButton() const { return ok_; }

private:
    ui::ReportPane *pane_ = nullptr;
    QPushButton *ok_ = nullptr;
};

// Shows the rule view modally, centred on the screen.
void ShowRule(QWidget *parent, int ruleId);

}  // namespace consultation
