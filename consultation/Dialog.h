#pragma once
// The dialogue panel of the main window's page "Диалог": the question on top, below it the
// list of answer values or a field for a number, the certainty choice when the entity asks
// for one, and the buttons "Принять", "Шаг назад" and "Окончить". The panel shows what the
// consultation asks and passes on what the user chose; the main window reacts to its signals
// (repaint the network after a step, open the results when the dialogue is over, finish).

#include <QWidget>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QShortcut;
class QSplitter;
class QStackedWidget;
class QTextEdit;

namespace consultation {
class Consultation;
}

class TDialogPanel : public QWidget {
    Q_OBJECT
public:
    explicit TDialogPanel(consultation::Consultation &consultation, QWidget *parent = nullptr);

    // Shows the question of the entity the consultation asks about.
    void ShowAnswer();
    // Enables "Принять" and "Окончить" while a dialogue runs; "Шаг назад" follows whether
    // there is an answer to take back.
    void setRunning(bool running);
    // Empties the question pane and the answer list.
    void clearDialog();

    // Runs a command as its button does (inside the general error display).
    void Accept();
    void StepBack();

    // The parts, for the main window and for tests.
    QTextEdit *questionPane() const { return questionPane_; }
    QGroupBox *answerGroup() const { return answerGroup_; }
    QListWidget *answerList() const { return answerList_; }
    QLineEdit *numberField() const { return numberField_; }
    QGroupBox *certaintyGroup() const { return certaintyGroup_; }
    QButtonGroup *certainty() const { return certainty_; }
    QPushButton *acceptButton() const { return acceptButton_; }
    QPushButton *backButton() const { return backButton_; }
    QPushButton *finishButton() const { return finishButton_; }

signals:
    // An engine step was taken (an answer accepted or taken back): the network is repainted.
    void stepped();
    // The engine has nothing more to ask; noResult when its last step reached no result.
    void over(bool noResult);
    // "Окончить" was pressed.
    void finishRequested();

private:
    void updateCommands();
    void refused(const QString &message);

    consultation::Consultation &consultation_;
    QSplitter *splitter_ = nullptr;
    QTextEdit *questionPane_ = nullptr;
    QStackedWidget *answerArea_ = nullptr;
    QGroupBox *answerGroup_ = nullptr;
    QListWidget *answerList_ = nullptr;
    QWidget *numberPage_ = nullptr;
    QLineEdit *numberField_ = nullptr;
    QGroupBox *certaintyGroup_ = nullptr;
    QButtonGroup *certainty_ = nullptr;
    QPushButton *acceptButton_ = nullptr;
    QPushButton *backButton_ = nullptr;
    QPushButton *finishButton_ = nullptr;
    QShortcut *escape_ = nullptr;
    bool running_ = false;
};
