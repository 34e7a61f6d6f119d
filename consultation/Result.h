#pragma once
// The results window "Отчет по диалогу": the values found for the task's goal at or above the
// task's threshold and the course of the last consultation, step by step as the engine
// explains it. Modal; its size is kept in the settings section "Task".

#include <QDialog>
#include <QStringList>

class QPushButton;

namespace kb {
class Report;
}
namespace ui {
class ReportPane;
}

class TfResult : public QDialog {
    Q_OBJECT
public:
    explicit TfResult(QWidget *parent = nullptr);

    // Fills the pane with the results of a sitting of a task (the engine explains the steps).
    void FormShow(int task, int goal, int sitting, const QStringList &steps);
    void setReport(const kb::Report &report);

    ui::ReportPane *pane() const { return pane_; }
    QPushButton *printButton() const { return printButton_; }
    QPushButton *okButton() const { return okButton_; }

    // "Печать": the pane on the default printer under the title "Результаты диалога"; with
    // no printer installed, the user may save the same pages as a PDF file instead.
    void BitBtnPrintClick();

private:
    ui::ReportPane *pane_ = nullptr;
    QPushButton *printButton_ = nullptr;
    QPushButton *okButton_ = nullptr;
};

// Opens the results window for a sitting and waits until it is closed.
void ShowResults(QWidget *parent, int task, int goal, int sitting, const QStringList &steps);
