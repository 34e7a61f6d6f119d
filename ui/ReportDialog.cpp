#include "ui/ReportDialog.h"

#include "ui/ReportPane.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

ReportDialog::ReportDialog(QWidget *parent) : QDialog(parent)
{
    auto *layout = new QVBoxLayout(this);
    pane_ = new ReportPane(this);
    pane_->setObjectName(QStringLiteral("RichEdit1"));
    // Long lines wrap to the window's width: such a view has a vertical scroll bar only.
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
}

}  // namespace ui
