#pragma once
// The current task of the main window, as the editor forms receive it.

#include <QString>

namespace editors {

struct TaskContext {
    int taskId = 0;
    QString taskName;
};

}  // namespace editors
