#pragma once
// The topic list.

#include "ui/ListForm.h"

class TfTopic : public ui::ListForm {
    Q_OBJECT
public:
    explicit TfTopic(QWidget *parent = nullptr);

protected:
    void editRecord(int mode, qint64 id) override;
    void RText() override;
};

namespace editors {
// Opens the topic list modally.
void ShowTopics(QWidget *parent = nullptr);
}  // namespace editors
