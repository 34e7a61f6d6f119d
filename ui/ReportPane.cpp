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

namespace {

QTextCharFormat formatOf(const kb::ReportLine &line, const QBrush &text)
{
    QTextCharFormat format;
    format.setFontWeight(line.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(line.italic);
    format.setForeground(line.color != 0 ? QBrush(QColor::fromRgb(line.color)) : text);
    return format;
}

// Appends lines at the end of a document through one cursor, in one edit block.
void appendLines(QTextDocument *doc, const QList<kb::ReportLine> &lines, bool firstInDocument,
                 const QBrush &text)
{
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    bool first = firstInDocument;
    for (const kb::ReportLine &line : lines) {
        const QTextCharFormat format = formatOf(line, text);
        if (!first)
            cursor.insertBlock(QTextBlockFormat(), format);
        else
            cursor.setBlockCharFormat(format);
        first = false;
        cursor.insertText(line.text, format);
    }
    cursor.endEditBlock();
}

}  // namespace

void ReportPane::addLine(const kb::ReportLine &line)
{
    report_.add(line.text, line.bold, line.italic, line.color);
    appendLines(document(), {line}, report_.lines().size() == 1, palette().text());
}

void ReportPane::addLine(const QString &text, bool bold, bool italic, quint32 color)
{
    addLine(kb::ReportLine{text, bold, italic, color});
}

void ReportPane::setReport(const kb::Report &report)
{
    // A long report is built in a document of its own and handed over whole: laying out the
    // shown document after every line would take seconds for a large task.
    report_ = report;
    auto *doc = new QTextDocument(this);
    doc->setDefaultFont(font());
    appendLines(doc, report.lines(), true, palette().text());
    setDocument(doc);  // the editor deletes the previous document it owned
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
