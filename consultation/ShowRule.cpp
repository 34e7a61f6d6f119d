#include "consultation/ShowRule.h"

#include "consultation/Inspection.h"
#include "ui/ReportPane.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

namespace consultation {

TfShowRule::TfShowRule(QWidget *parent, int ruleId) : ui::ReportDialog(parent)
{
    setObjectName(QStringLiteral("fShowRule"));
    setWindowTitle(QStringLiteral("Правило"));
    setMinimumWidth(400);
    setMinimumHeight(250);
    setMaximumHeight(300);
    resize(480, 280);

    pane()->setReport(RText(ruleId));
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
