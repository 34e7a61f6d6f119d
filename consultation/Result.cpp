#include "consultation/Result.h"

#include "consultation/Consultation.h"
#include "ui/FormSize.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"
#include "ui/ReportPane.h"

#include <QHBoxLayout>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kDocumentTitle = QStringLiteral("Результаты диалога");
}

TfResult::TfResult(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fResult"));
    setWindowTitle(QStringLiteral("Отчет по диалогу"));
    resize(640, 480);
    auto *layout = new QVBoxLayout(this);
    pane_ = new ui::ReportPane(this);
    pane_->setObjectName(QStringLiteral("RichEdit1"));
    // Explanations are long sentences: they wrap to the window instead of scrolling sideways.
    pane_->setLineWrapMode(QTextEdit::WidgetWidth);
    pane_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    pane_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = pane_->font();
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Sans Serif")});
    font.setPointSize(10);
    pane_->setFont(font);
    layout->addWidget(pane_, 1);

    auto *buttons = new QHBoxLayout;
    printButton_ = new QPushButton(QStringLiteral("Печать"), this);
    printButton_->setObjectName(QStringLiteral("BitBtnPrint"));
    printButton_->setAutoDefault(false);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("BitBtnOK"));
    okButton_->setDefault(true);
    buttons->addWidget(printButton_);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    layout->addLayout(buttons);

    ui::rememberFormSize(this, QStringLiteral("Task"));

    ui::connectGuarded(printButton_, &QPushButton::clicked, this, [this] { BitBtnPrintClick(); });
    connect(okButton_, &QPushButton::clicked, this, [this] {
        pane_->clearLines();
        accept();
    });
}

void TfResult::setReport(const kb::Report &report)
{
    pane_->setReport(report);
}

void TfResult::FormShow(int task, int goal, int sitting, const QStringList &steps)
{
    setReport(consultation::resultsReport(task, goal, sitting, steps, consultation::libraryEngine()));
}

void TfResult::BitBtnPrintClick()
{
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        pane_->printOnDefaultPrinter(kDocumentTitle);
        return;
    }
    const QString file = ui::Prompts::instance().saveFile(
        this, QStringLiteral("Принтер не установлен: сохранить результаты в файл PDF"),
        QStringLiteral("Документ PDF (*.pdf)"), QStringLiteral("pdf"));
    if (file.isEmpty())
        return;
    if (!pane_->printToPdf(file, kDocumentTitle))
        ui::Prompts::instance().error(this, QStringLiteral("Не удалось записать файл %1").arg(file));
}

void ShowResults(QWidget *parent, int task, int goal, int sitting, const QStringList &steps)
{
    TfResult form(parent);
    form.FormShow(task, goal, sitting, steps);
    form.exec();
}
