#include "ui/DetailPane.h"

#include <QPalette>

namespace ui {

DetailPane::DetailPane(QWidget *parent) : ReportPane(parent)
{
    setObjectName(QStringLiteral("RichEdit1"));
    QPalette pal = palette();
    pal.setBrush(QPalette::Base, pal.brush(QPalette::Button));
    setPalette(pal);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void DetailPane::pair(const QString &label, const QString &value)
{
    addLine(label, true);
    addLine(QLatin1Char('"') + value + QLatin1Char('"'));
}

void DetailPane::pairUnquoted(const QString &label, const QString &value)
{
    addLine(label, true);
    addLine(value);
}

}  // namespace ui
