#pragma once
// The admissible values: the entities of the current task above, the values of the chosen
// entity below, the detail pane on the right.

#include "editors/TaskContext.h"

#include <QDialog>

class QAction;
class QPushButton;
class QSplitter;
namespace ui {
class DetailPane;
class RecordGrid;
}

class TfrValue : public QDialog {
    Q_OBJECT
public:
    // factId 0: every entity of the task; otherwise that entity only.
    TfrValue(QWidget *parent, const editors::TaskContext &task, qint64 factId);

    ui::RecordGrid *entityGrid() const { return entities_; }
    ui::RecordGrid *valueGrid() const { return values_; }
    ui::DetailPane *pane() const { return pane_; }
    QPushButton *okButton() const { return ok_; }
    QAction *addAction() const { return menuAdd_; }
    QAction *deleteAction() const { return menuDelete_; }
    QAction *changeAction() const { return menuChange_; }

    void addRecord();
    void changeRecord();
    void deleteRecord();

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void FormShow();
    // Loads the values of the current entity and rebuilds the pane.
    void ValueSQL();
    void RText();
    // Reopens the entity list on the entity with the OID (its values reload).
    void reopenOn(qint64 factOid);

    editors::TaskContext task_;
    qint64 factId_;
    ui::RecordGrid *entities_;
    ui::RecordGrid *values_;
    ui::DetailPane *pane_;
    QPushButton *ok_;
    QAction *menuAdd_;
    QAction *menuDelete_;
    QAction *menuChange_;
    bool sizeApplied_ = false;
    bool shown_ = false;
};

namespace editors {
// Opens the values list modally for one entity, or for every entity of the task (factId 0).
void ShowValues(QWidget *parent, const TaskContext &task, qint64 factId);
}  // namespace editors
