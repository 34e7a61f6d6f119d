#pragma once
// The task list: every task of every topic, with the number of entities and rules of the
// current one.

#include "ui/ListForm.h"

class TFrTask : public ui::ListForm {
    Q_OBJECT
public:
    explicit TFrTask(QWidget *parent = nullptr);

protected:
    void editRecord(int mode, qint64 id) override;
    void RText() override;
};

namespace editors {
// Opens the task list modally.
void ShowTasks(QWidget *parent = nullptr);
}  // namespace editors
