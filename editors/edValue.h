#pragma once
// The value edit form.

#include "ui/EditForm.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
namespace ui {
class PictureField;
}

class TfedValue : public ui::EditForm {
    Q_OBJECT
public:
    TfedValue(QWidget *parent, int mode, qint64 valueId, qint64 factId, const QString &factName);

    QLabel *entityText() const { return entity_; }
    QLineEdit *valueBox() const { return value_; }
    QPlainTextEdit *memo() const { return memo_; }
    ui::PictureField *picture() const { return picture_; }

protected:
    void FormShow() override;
    bool save() override;

private:
    qint64 factId_;
    QString factName_;
    QLabel *entity_;
    QLineEdit *value_;
    QPlainTextEdit *memo_;
    ui::PictureField *picture_;
};

namespace editors {
// Opens the value edit form modally: mode 0 enters a new value of the entity, mode 1 changes
// the value. The entity's name is only shown.
void EditValue(QWidget *parent, int mode, qint64 valueId, qint64 factId, const QString &factName);
}  // namespace editors
