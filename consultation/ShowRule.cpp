#include "consultation/ShowRule.h"

#include "consultation/Inspection.h"
#include "ui/ReportPane.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace consultation {

TfShowRule::TfShowRule(QWidget *parent, int ruleId) : QDialog(parent)
{
    setObjectName(QStringLiteral("fShowRule"));
    setWindowTitle(QStringLiteral("Правило"));
    setMinimumWidth(400);
    setMinimumHeight(250);
    setMaximumHeight(300);
    resize(480, 280);

    auto *layout = new QVBoxLayout(this);
    pane_ = new ui::ReportPane(this);
    pane_->setObjectName(QStringLiteral("RichEdit1"));
    pane_->setLineWrapMode(QTextEdit::WidgetWidth);
    pane_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(pane_, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    bottom->addWidget(ok_);
    bottom->addStretch(1);
    layout->addLayout(bottom);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    pane_->setReport(RText(ruleId));
    setWindowTitle(QStringLiteral("Правило ") + QString::number(ruleId));

    // The rule view stands in the middle of the screen, not of its owner.
    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
}

void ShowRule(QWidget *parent, int ruleId)
{
    TfShowRule form(parent, ruleId);
    form.exec();
}

}  // namespace consultation
