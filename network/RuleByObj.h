#pragma once
// The window "Правила от сущности": the rules that use one entity, as a premise or as the
// result, and the text of the rule chosen in the list.

#include "network/RuleByObjList.h"

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace ui {
class ReportPane;
}

namespace network {

class TfRuleByObj : public QDialog {
    Q_OBJECT
public:
    TfRuleByObj(QWidget *parent, int factId);

    EntityRole role() const;
    void setRole(EntityRole role);
    // The rule of the list's current row, 0 when the list is empty.
    int currentRuleId() const;

    QLineEdit *nameField() const { return name_; }
    QRadioButton *premiseButton() const { return premise_; }
    QRadioButton *resultButton() const { return result_; }
    QTableWidget *ruleList() const { return list_; }
    ui::ReportPane *pane() const { return pane_; }
    QPushButton *exitButton() const { return exit_; }

private:
    void FillList();
    void ShowText();

    int factId_;
    QLineEdit *name_ = nullptr;
    QButtonGroup *choice_ = nullptr;
    QRadioButton *premise_ = nullptr;
    QRadioButton *result_ = nullptr;
    QTableWidget *list_ = nullptr;
    ui::ReportPane *pane_ = nullptr;
    QPushButton *exit_ = nullptr;
};

// Shows the window modally, centred on its owner.
void ShowRulesByObj(QWidget *parent, int factId);

}  // namespace network
