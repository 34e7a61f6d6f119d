#pragma once
// The topic edit form.

#include "ui/EditForm.h"

class QLineEdit;
class QPlainTextEdit;
namespace ui {
class PictureField;
}

class TfEdTopic : public ui::EditForm {
    Q_OBJECT
public:
    TfEdTopic(QWidget *parent, int mode, qint64 topicId);

    QLineEdit *nameBox() const { return name_; }
    QPlainTextEdit *memo() const { return memo_; }
    ui::PictureField *picture() const { return picture_; }

protected:
    void FormShow() override;
    bool save() override;

private:
    QLineEdit *name_;
    QPlainTextEdit *memo_;
    ui::PictureField *picture_;
};

namespace editors {
// Opens the topic edit form modally: mode 0 enters a new topic, mode 1 changes the topic.
void EditTopic(QWidget *parent, int mode, qint64 topicId);
}  // namespace editors
