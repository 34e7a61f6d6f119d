#pragma once
// The edit form every record kind shares: opened with a mode (0 enters a new record, 1 changes
// the record with the given id), it loads the record when shown and writes it with one typed
// statement when the save button is pressed. "Отменить" and Esc close it without writing.
// A refused save (an empty name, a number box that holds no whole number) keeps the form open
// with everything typed; a failed statement is shown and the form stays open as well.

#include <QDialog>

#include <stdexcept>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

// What the user typed cannot be saved; the text says why (shown by the general error display).
class InputError : public std::runtime_error {
public:
    explicit InputError(const QString &text) : std::runtime_error(text.toStdString()) {}
};

// A masked box for a whole number of up to `digits` digits, blank as the placeholder.
QLineEdit *numberBox(int digits, QWidget *parent);
// The whole number in a number box (blanks at both ends ignored); InputError naming the
// field when the box is empty or holds anything else.
int wholeNumber(const QLineEdit *box, const QString &fieldName);

// Makes the designed size of a form at least what its layout needs (the font decides
// how much room the captions take), keeping a fixed height fixed.
void fitToLayout(QWidget *form);

// A bold label or box.
void makeBold(QWidget *widget);

class EditForm : public QDialog {
    Q_OBJECT
public:
    int mode() const { return mode_; }
    qint64 recordId() const { return id_; }
    QPushButton *saveButton() const { return save_; }
    QPushButton *cancelButton() const { return cancel_; }

    // The save button: validate and write; closes the form when the record was written.
    void saveClicked();

    void setVisible(bool visible) override;

protected:
    EditForm(QWidget *parent, const QString &sizeSection, int mode, qint64 id,
             const QString &saveCaption);

    // The bottom row: the save button on the left, "Отменить" on the right.
    QHBoxLayout *buttonRow();

    // Fills the controls (mode 1: from the record) when the form is first shown.
    virtual void FormShow() = 0;
    // Validates and writes; true when the record was written and the form may close.
    virtual bool save() = 0;

    void showEvent(QShowEvent *event) override;

private:
    QString sizeSection_;
    int mode_;
    qint64 id_;
    QPushButton *save_;
    QPushButton *cancel_;
    bool sizeApplied_ = false;
    bool shown_ = false;
};

}  // namespace ui
