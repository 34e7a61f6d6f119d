#include "ui/ReportPane.h"

#include <QFile>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace ui {

ReportPane::ReportPane(QWidget *parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setAcceptRichText(false);
}

void ReportPane::clearLines()
{
    report_.clear();
    QTextEdit::clear();
}

void ReportPane::addLine(const kb::ReportLine &line)
{
    report_.add(line.text, line.bold, line.italic, line.color);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (report_.lines().size() > 1)
        cursor.insertBlock();
    QTextCharFormat format;
    format.setFontWeight(line.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(line.italic);
    if (line.color != 0)
        format.setForeground(QColor::fromRgb(line.color));
    else
        format.setForeground(palette().text());
    cursor.setBlockCharFormat(format);
    cursor.insertText(line.text, format);
}

void ReportPane::addLine(const QString &text, bool bold, bool italic, quint32 color)
{
    addLine(kb::ReportLine{text, bold, italic, color});
}

void ReportPane::setReport(const kb::Report &report)
{
    setUpdatesEnabled(false);
    clearLines();
    for (const kb::ReportLine &line : report.lines())
        addLine(line);
    setUpdatesEnabled(true);
    moveCursor(QTextCursor::Start);
}

void ReportPane::print(QPrinter *printer, const QString &documentTitle) const
{
    printer->setDocName(documentTitle);
    std::unique_ptr<QTextDocument> copy(document()->clone());
    copy->setMetaInformation(QTextDocument::DocumentTitle, documentTitle);
    copy->print(printer);
}

bool ReportPane::printToPdf(const QString &file, const QString &documentTitle) const
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    print(&printer, documentTitle);
    return QFile::exists(file);
}

void ReportPane::printOnDefaultPrinter(const QString &documentTitle) const
{
    QPrinter printer(QPrinter::HighResolution);
    print(&printer, documentTitle);
}

}  // namespace ui
