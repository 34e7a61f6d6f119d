#include "consultation/Dialog.h"

#include "consultation/Consultation.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

using ui::WaitCursor;

TDialogPanel::TDialogPanel(consultation::Consultation &consultation, QWidget *parent)
    : QWidget(parent), consultation_(consultation)
{
    setObjectName(QStringLiteral("DialogPanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    questionPane_ = new QTextEdit(splitter_);
    questionPane_->setObjectName(QStringLiteral("RichEdit1"));
    questionPane_->setAcceptRichText(false);

    answerArea_ = new QStackedWidget(splitter_);
    answerGroup_ = new QGroupBox(QStringLiteral("Ответ"), answerArea_);
    answerGroup_->setObjectName(QStringLiteral("AnswerGroup"));
    auto *groupLayout = new QVBoxLayout(answerGroup_);
    groupLayout->setContentsMargins(4, 4, 4, 4);
    answerList_ = new QListWidget(answerGroup_);
    answerList_->setObjectName(QStringLiteral("AnswerList"));
    answerList_->setSelectionMode(QAbstractItemView::SingleSelection);
    groupLayout->addWidget(answerList_);
    answerArea_->addWidget(answerGroup_);

    numberPage_ = new QWidget(answerArea_);
    auto *numberLayout = new QVBoxLayout(numberPage_);
    numberLayout->setContentsMargins(4, 8, 4, 4);
    numberField_ = new QLineEdit(numberPage_);
    numberField_->setObjectName(QStringLiteral("NumberField"));
    QFont bold = numberField_->font();
    bold.setBold(true);
    numberField_->setFont(bold);
    numberField_->setPlaceholderText(QStringLiteral("число, например 36,6"));
    numberLayout->addWidget(numberField_);
    numberLayout->addStretch(1);
    answerArea_->addWidget(numberPage_);
    splitter_->addWidget(questionPane_);
    splitter_->addWidget(answerArea_);
    // The question (with its explanatory text) gets the larger share; a list of values
    // rarely needs more than a few lines.
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 2);
    layout->addWidget(splitter_, 1);

    certaintyGroup_ = new QGroupBox(QStringLiteral("Достоверность(%)"), this);
    certaintyGroup_->setObjectName(QStringLiteral("CertaintyGroup"));
    auto *certaintyLayout = new QHBoxLayout(certaintyGroup_);
    certainty_ = new QButtonGroup(certaintyGroup_);
    for (int trust : {100, 75, 50}) {
        auto *button = new QRadioButton(QString::number(trust), certaintyGroup_);
        certainty_->addButton(button, trust);
        certaintyLayout->addWidget(button);
    }
    certainty_->button(100)->setChecked(true);
    certaintyGroup_->hide();
    layout->addWidget(certaintyGroup_);

    auto *buttons = new QHBoxLayout;
    acceptButton_ = new QPushButton(QStringLiteral("Принять"), this);
    acceptButton_->setObjectName(QStringLiteral("AcceptButton"));
    // Enter on the focused button accepts (the numeric field passes the focus to it).
    acceptButton_->setAutoDefault(true);
    backButton_ = new QPushButton(QStringLiteral("Шаг назад"), this);
    backButton_->setObjectName(QStringLiteral("BackButton"));
    backButton_->setAutoDefault(true);
    finishButton_ = new QPushButton(QStringLiteral("Окончить"), this);
    finishButton_->setObjectName(QStringLiteral("FinishButton"));
    finishButton_->setAutoDefault(true);
    for (QPushButton *b : {acceptButton_, backButton_, finishButton_}) {
        b->setMinimumWidth(0);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);

    // "Окончить" is the window's cancel button: Esc presses it while it is enabled.
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape_->setContext(Qt::WindowShortcut);
    connect(escape_, &QShortcut::activated, this, [this] {
        if (finishButton_->isEnabled())
            finishButton_->click();
    });

    connect(acceptButton_, &QPushButton::clicked, this, [this] { Accept(); });
    connect(backButton_, &QPushButton::clicked, this, [this] { StepBack(); });
    connect(finishButton_, &QPushButton::clicked, this, [this] { emit finishRequested(); });
    connect(numberField_, &QLineEdit::returnPressed, this, [this] { acceptButton_->setFocus(); });
    // Enter or a double click on a value answers with it.
    connect(answerList_, &QListWidget::itemActivated, this, [this] {
        if (acceptButton_->isEnabled())
            Accept();
    });

    answerArea_->setCurrentWidget(numberPage_);
    setRunning(false);
}

void TDialogPanel::setRunning(bool running)
{
    running_ = running;
    updateCommands();
}

void TDialogPanel::updateCommands()
{
    acceptButton_->setEnabled(running_);
    finishButton_->setEnabled(running_);
    backButton_->setEnabled(running_ && consultation_.canStepBack());
    escape_->setEnabled(running_);
}

void TDialogPanel::clearDialog()
{
    answerList_->clear();
    questionPane_->clear();
}

void TDialogPanel::ShowAnswer()
{
    const consultation::Question &q = consultation_.question();
    questionPane_->clear();
    // The certainty chosen last stays chosen from question to question.
    certaintyGroup_->setVisible(q.nonDet);

    QTextCursor cursor(questionPane_->document());
    QTextCharFormat regular;
    regular.setFontWeight(QFont::Normal);
    QTextCharFormat strong;
    strong.setFontWeight(QFont::Bold);
    if (!q.text.trimmed().isEmpty()) {
        cursor.insertText(q.text, regular);
        cursor.insertBlock();
    }
    cursor.insertText(q.question, strong);

    if (q.symbolic()) {
        answerArea_->setCurrentWidget(answerGroup_);
        answerList_->clear();
        for (const consultation::AnswerValue &v : q.values) {
            auto *item = new QListWidgetItem(v.mean, answerList_);
            item->setData(Qt::UserRole, v.id);
        }
        if (answerList_->count() > 0)
            answerList_->setCurrentRow(0);
        answerList_->setFocus();
    } else {
        answerArea_->setCurrentWidget(numberPage_);
        // The field keeps the last number typed, selected, so that typing replaces it.
        numberField_->selectAll();
        numberField_->setFocus();
    }
    updateCommands();
}

void TDialogPanel::Accept()
{
    ui::guarded(this, [this] {
        const bool symbolic = answerArea_->currentWidget() == answerGroup_;
        const int trust = certaintyGroup_->isHidden() ? 100 : certainty_->checkedId();
        consultation::Consultation::Outcome out;
        {
            WaitCursor wait;
            if (symbolic) {
                QListWidgetItem *item = answerList_->currentItem();
                const int valueId = item && item->isSelected() ? item->data(Qt::UserRole).toInt() : 0;
                out = consultation_.acceptValue(valueId, trust);
            } else {
                out = consultation_.acceptNumber(numberField_->text(), trust);
            }
        }
        if (!out.refusal.isEmpty()) {
            refused(out.refusal);
            return;
        }
        updateCommands();
        emit stepped();
        if (out.over) {
            emit over(out.noResult);
            return;
        }
        ShowAnswer();
    });
}

void TDialogPanel::StepBack()
{
    ui::guarded(this, [this] {
        if (!consultation_.canStepBack())
            return;
        {
            WaitCursor wait;
            consultation_.stepBack();
        }
        updateCommands();
        emit stepped();
        ShowAnswer();
    });
}

void TDialogPanel::refused(const QString &message)
{
    ui::Prompts::instance().warning(this, message);
    // The question stays; the user corrects the answer where it was typed or chosen.
    if (answerArea_->currentWidget() == numberPage_) {
        numberField_->setFocus();
        numberField_->selectAll();
    } else {
        answerList_->setFocus();
    }
}
