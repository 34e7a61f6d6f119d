#pragma once
// A read-only window of one report: the report pane, wrapping lines to its width, and one
// OK button centred under it. The entity and rule views are such windows.

#include "kb/Report.h"

#include <QDialog>

class QPushButton;

namespace ui {

class ReportPane;

class ReportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReportDialog(QWidget *parent);

    ReportPane *pane() const { return pane_; }
    QPushButton *okButton() const { return ok_; }

private:
    ReportPane *pane_ = nullptr;
    QPushButton *ok_ = nullptr;
};

}  // namespace ui
