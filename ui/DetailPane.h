#pragma once
// The detail pane of a list form (RText): pairs of lines, a bold label and below it the value
// in regular type between double quotes, on the button-face background.

#include "ui/ReportPane.h"

namespace ui {

class DetailPane : public ReportPane {
    Q_OBJECT
public:
    explicit DetailPane(QWidget *parent = nullptr);

    // A bold label line, then the value line in double quotes.
    void pair(const QString &label, const QString &value);
    // A bold label line, then the value line as it stands.
    void pairUnquoted(const QString &label, const QString &value);
};

}  // namespace ui
