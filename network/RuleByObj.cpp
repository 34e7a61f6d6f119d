#include "network/RuleByObj.h"

#include "consultation/Inspection.h"
#include "ui/FormSize.h"
#include "ui/Guard.h"
#include "ui/ReportPane.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace network {

TfRuleByObj::TfRuleByObj(QWidget *parent, int factId) : QDialog(parent), factId_(factId)
{
    setObjectName(QStringLiteral("fRulesByObj"));
    setWindowTitle(QStringLiteral("Правила от сущности"));
    setMinimumSize(313, 313);
    resize(620, 420);

    auto *layout = new QVBoxLayout(this);
    auto *nameLabel = new QLabel(QStringLiteral("Название сущности"), this);
    layout->addWidget(nameLabel);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("Edit1"));
    name_->setReadOnly(true);
    QFont bold = name_->font();
    bold.setBold(true);
    name_->setFont(bold);
    nameLabel->setBuddy(name_);
    layout->addWidget(name_);

    auto *middle = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    auto *box = new QGroupBox(QStringLiteral("Сущность для правила:"), this);
    auto *boxLayout = new QVBoxLayout(box);
    premise_ = new QRadioButton(QStringLiteral("Предпосылка"), box);
    result_ = new QRadioButton(QStringLiteral("Результат"), box);
    boxLayout->addWidget(premise_);
    boxLayout->addWidget(result_);
    choice_ = new QButtonGroup(this);
    choice_->addButton(premise_, int(EntityRole::Premise));
    choice_->addButton(result_, int(EntityRole::Result));
    premise_->setChecked(true);
    left->addWidget(box);

    list_ = new QTableWidget(0, 1, this);
    list_->setObjectName(QStringLiteral("DBGrid1"));
    auto *title = new QTableWidgetItem(QStringLiteral("Номера правил"));
    title->setFont(bold);
    list_->setHorizontalHeaderItem(0, title);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->verticalHeader()->hide();
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setTabKeyNavigation(false);
    left->addWidget(list_, 1);
    // Rule numbers are short: the text gets the room.
    box->setMaximumWidth(200);
    list_->setMaximumWidth(200);
    middle->addLayout(left);

    pane_ = new ui::ReportPane(this);
    pane_->setObjectName(QStringLiteral("RichEdit1"));
    middle->addWidget(pane_, 1);
    layout->addLayout(middle, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    exit_ = new QPushButton(QStringLiteral("Выход"), this);
    bottom->addWidget(exit_);
    layout->addLayout(bottom);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);

    // The read and the write spelling of the section differ; the file ignores letter case.
    ui::rememberFormSize(this, QStringLiteral("RulesbyObj"), QStringLiteral("RulesByObj"));

    name_->setText(factNameOf(factId_));
    FillList();

    connect(choice_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            ui::guarded(this, [this] { FillList(); });
    });
    // The text follows the list's current row, moved by the keyboard or the mouse.
    connect(list_, &QTableWidget::currentCellChanged, this,
            [this] { ui::guarded(this, [this] { ShowText(); }); });
    connect(list_, &QTableWidget::cellClicked, this,
            [this] { ui::guarded(this, [this] { ShowText(); }); });
}

EntityRole TfRuleByObj::role() const
{
    return result_->isChecked() ? EntityRole::Result : EntityRole::Premise;
}

void TfRuleByObj::setRole(EntityRole role)
{
    (role == EntityRole::Result ? result_ : premise_)->setChecked(true);
}

int TfRuleByObj::currentRuleId() const
{
    const QTableWidgetItem *item = list_->item(list_->currentRow(), 0);
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

void TfRuleByObj::FillList()
{
    const QList<int> rules = rulesByObj(factId_, role());
    {
        const QSignalBlocker block(list_);
        list_->clearContents();
        list_->setRowCount(int(rules.size()));
        for (int row = 0; row < rules.size(); ++row) {
            auto *item = new QTableWidgetItem(QString::number(rules[row]));
            item->setData(Qt::UserRole, rules[row]);
            list_->setItem(row, 0, item);
        }
        if (!rules.isEmpty())
            list_->setCurrentCell(0, 0);
    }
    ShowText();
}

void TfRuleByObj::ShowText()
{
    pane_->clearLines();
    if (list_->item(list_->currentRow(), 0))
        pane_->setReport(consultation::RText(currentRuleId()));
}

void ShowRulesByObj(QWidget *parent, int factId)
{
    TfRuleByObj form(parent, factId);
    form.exec();
}

}  // namespace network
