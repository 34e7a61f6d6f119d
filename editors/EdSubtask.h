#pragma once
// The subtask edit form.

#include "editors/TaskContext.h"
#include "ui/EditForm.h"

class QLineEdit;
class QPlainTextEdit;

class TfEdSubtask : public ui::EditForm {
    Q_OBJECT
public:
    TfEdSubtask(QWidget *parent, const editors::TaskContext &task, int mode, qint64 subtaskId);

    QLineEdit *taskBox() const { return task_box_; }
    QLineEdit *nameBox() const { return name_; }
    QLineEdit *turnBox() const { return turn_; }
    QPlainTextEdit *memo() const { return memo_; }

protected:
    void FormShow() override;
    bool save() override;

private:
    editors::TaskContext task_;
    QLineEdit *task_box_;
    QLineEdit *name_;
    QLineEdit *turn_;
    QPlainTextEdit *memo_;
};

namespace editors {
// Opens the subtask edit form modally: mode 0 enters a new subtask of the task, mode 1
// changes the subtask.
void EditSubtask(QWidget *parent, const TaskContext &task, int mode, qint64 subtaskId);
}  // namespace editors
