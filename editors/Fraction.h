#pragma once
// The subtask list of the current task.

#include "editors/TaskContext.h"
#include "ui/ListForm.h"

class TfFraction : public ui::ListForm {
    Q_OBJECT
public:
    TfFraction(QWidget *parent, const editors::TaskContext &task);

protected:
    void editRecord(int mode, qint64 id) override;
    void RText() override;

private:
    editors::TaskContext task_;
};

namespace editors {
// Opens the subtask list of the task modally.
void ShowSubtasks(QWidget *parent, const TaskContext &task);
}  // namespace editors
