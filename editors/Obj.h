#pragma once
// The entity list of the current task. Closing it rebuilds the task's network tables.

#include "editors/TaskContext.h"
#include "ui/ListForm.h"

class TfObj : public ui::ListForm {
    Q_OBJECT
public:
    TfObj(QWidget *parent, const editors::TaskContext &task);

protected:
    QString deleteQuestion() const override;
    QString deleteFailedMessage() const override;
    void editRecord(int mode, qint64 id) override;
    void RText() override;
    void FormClose() override;

private:
    QVariant cell(int row, const QString &alias, int role) const;

    editors::TaskContext task_;
};

namespace editors {
// Opens the entity list of the task modally; when it closes, the task's network tables are
// rebuilt.
void ShowFacts(QWidget *parent, const TaskContext &task);

// Deletes an entity after the checks of the entity list (values, then rules and conditions
// that use it), telling the user why when it cannot; true when it was deleted. Asks nothing.
bool DeleteFact(QWidget *parent, qint64 factId);
}  // namespace editors
