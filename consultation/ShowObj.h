#pragma once
// The entity view "Сущность": one entity described in words, with its values in a given
// consultation. Read-only; one OK button closes it.

#include <QDialog>

class QPushButton;

namespace ui {
class ReportPane;
}

namespace consultation {

class TfShowObj : public QDialog {
    Q_OBJECT
public:
    TfShowObj(QWidget *parent, int factId, int sittingId);

    ui::ReportPane *pane() const { return pane_; }
    QPushButton *okButton() const { return ok_; }

private:
    ui::ReportPane *pane_ = nullptr;
    QPushButton *ok_ = nullptr;
};

// Shows the entity view modally, centred on its owner.
void ShowObj(QWidget *parent, int factId, int sittingId);

}  // namespace consultation
