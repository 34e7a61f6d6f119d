#pragma once
// The task edit form.

#include "ui/EditForm.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
namespace ui {
class PictureField;
}

class TfEdTask : public ui::EditForm {
    Q_OBJECT
public:
    TfEdTask(QWidget *parent, int mode, qint64 taskId);

    QLineEdit *nameBox() const { return name_; }
    QComboBox *topicBox() const { return topic_; }
    QLineEdit *thresholdBox() const { return threshold_; }
    QPlainTextEdit *memo() const { return memo_; }
    ui::PictureField *picture() const { return picture_; }

protected:
    void FormShow() override;
    bool save() override;

private:
    QLineEdit *name_;
    QComboBox *topic_;
    QLineEdit *threshold_;
    QPlainTextEdit *memo_;
    ui::PictureField *picture_;
};

namespace editors {
// Opens the task edit form modally: mode 0 enters a new task, mode 1 changes the task.
void EditTask(QWidget *parent, int mode, qint64 taskId);
}  // namespace editors
