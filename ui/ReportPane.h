#pragma once
// The report pane: the read-only rich-text pane of every listing, test, result and view.
// It takes lines in bold, italic or colour, prints itself under a document title, and gives
// its lines back for tests.

#include "kb/Report.h"

#include <QTextEdit>

class QPrinter;

namespace ui {

class ReportPane : public QTextEdit {
    Q_OBJECT
public:
    explicit ReportPane(QWidget *parent = nullptr);

    void clearLines();
    void addLine(const QString &text, bool bold = false, bool italic = false, quint32 color = 0);
    void addLine(const kb::ReportLine &line);
    // Replaces the content with a report.
    void setReport(const kb::Report &report);

    const kb::Report &report() const { return report_; }
    QStringList lines() const { return report_.texts(); }

    // Prints the pane under a document title (the print job's name).
    void print(QPrinter *printer, const QString &documentTitle) const;
    // Prints to a PDF file; returns false when the file could not be written.
    bool printToPdf(const QString &file, const QString &documentTitle) const;
    // Asks the default printer's dialog-free printing path: the system's default printer.
    void printOnDefaultPrinter(const QString &documentTitle) const;

private:
    kb::Report report_;
};

}  // namespace ui
