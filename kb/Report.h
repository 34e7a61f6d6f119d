#pragma once
// A read-only formatted text made of lines: what the listings, tests, results and views
// produce. Built without any widget, shown by the report pane of ui/, read back by tests.

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace kb {

// A value as the panes show it: in double quotes.
inline QString quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

struct ReportLine {
    QString text;
    bool bold = false;
    bool italic = false;
    quint32 color = 0;  // 0xRRGGBB; 0 = the pane's text colour

    bool operator==(const ReportLine &) const = default;
};

class Report {
public:
    void add(const QString &text, bool bold = false, bool italic = false, quint32 color = 0)
    {
        lines_.append({text, bold, italic, color});
    }
    void bold(const QString &text) { add(text, true); }
    void plain(const QString &text) { add(text); }
    void clear() { lines_.clear(); }
    const QList<ReportLine> &lines() const { return lines_; }
    QStringList texts() const
    {
        QStringList out;
        for (const auto &l : lines_)
            out << l.text;
        return out;
    }
    bool isEmpty() const { return lines_.isEmpty(); }

private:
    QList<ReportLine> lines_;
};

}  // namespace kb
