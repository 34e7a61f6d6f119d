#include "consultation/ShowObj.h"

#include "consultation/Inspection.h"
#include "ui/ReportPane.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace consultation {

TfShowObj::TfShowObj(QWidget *parent, int factId, int sittingId) : QDialog(parent)
{
    setObjectName(QStringLiteral("fShowObj"));
    setWindowTitle(QStringLiteral("Сущность"));
    setMinimumSize(373, 240);
    resize(460, 400);

    auto *layout = new QVBoxLayout(this);
    pane_ = new ui::ReportPane(this);
    pane_->setObjectName(QStringLiteral("RichEdit1"));
    // Long questions wrap to the window's width: the view has a vertical scroll bar only.
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

    pane_->setReport(ObjText(factId, sittingId));
}

void ShowObj(QWidget *parent, int factId, int sittingId)
{
    TfShowObj form(parent, factId, sittingId);
    form.exec();
}

}  // namespace consultation
