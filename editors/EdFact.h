#pragma once
// The entity edit form. Opened from the entity list and from the network's menu.

#include "editors/TaskContext.h"
#include "ui/EditForm.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
namespace ui {
class PictureField;
}

class TfEdFact : public ui::EditForm {
    Q_OBJECT
public:
    TfEdFact(QWidget *parent, const editors::TaskContext &task, int mode, qint64 factId);

    QLineEdit *nameBox() const { return name_; }
    QLineEdit *shortBox() const { return short_; }
    QLineEdit *aliasBox() const { return alias_; }
    QPlainTextEdit *questionMemo() const { return question_; }
    QPlainTextEdit *textMemo() const { return text_; }
    QCheckBox *multyBox() const { return multy_; }
    QCheckBox *normalBox() const { return normal_; }
    QCheckBox *goalBox() const { return goal_; }
    QCheckBox *nonDetBox() const { return nonDet_; }
    QComboBox *typeBox() const { return type_; }
    QComboBox *complexBox() const { return complex_; }
    ui::PictureField *picture() const { return picture_; }

protected:
    void FormShow() override;
    bool save() override;

private:
    void multyToggled(bool on);

    editors::TaskContext task_;
    QLineEdit *name_;
    QCheckBox *multy_;
    QCheckBox *normal_;
    QCheckBox *goal_;
    QCheckBox *nonDet_;
    QComboBox *type_;
    QComboBox *complex_;
    QLineEdit *short_;
    QPlainTextEdit *question_;
    QLineEdit *alias_;
    QPlainTextEdit *text_;
    ui::PictureField *picture_;
};

namespace editors {
// Opens the entity edit form modally: mode 0 enters a new entity of the task, mode 1 changes
// the entity.
void EditFact(QWidget *parent, const TaskContext &task, int mode, qint64 factId);
}  // namespace editors
