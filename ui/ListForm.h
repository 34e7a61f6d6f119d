#pragma once
// The list form every record kind shares: a tool bar with the record navigator and the add,
// delete and change buttons, the grid of the list query beside the detail pane, "OK" at the
// bottom right. Add, change and delete open the kind's edit form or run its dependency checks
// and delete statement, then reopen the list and put the current record where the kind wants
// it. A click on a column title sorts by that column until the form closes.
//
// A kind of record needs only its statements, columns, messages, pane lines and edit form:
// the constructor of a subclass sets them, and it overrides RText() and editRecord().

#include "ui/RecordGrid.h"

#include <QDialog>

class QAction;
class QHBoxLayout;
class QPushButton;
class QSplitter;
class QToolBar;
class QVBoxLayout;

namespace ui {

class DetailPane;

// Where the current record goes after a command has reopened the list.
enum class Reposition {
    Remembered,  // the row that was current before the reopening
    First,
    SameOid,     // the record with the OID that was current (first when it is gone)
    Last,
};

// How a refusal lists the dependants it found.
enum class ListFormat {
    QuotedLines,  // prefix, then each item on its own line in double quotes
    Commas,       // prefix, then the items separated by ", "
};

// The refusal text: the prefix followed by the items in the given format.
QString listMessage(const QString &prefix, const QStringList &items, ListFormat format);

struct DependencyCheck {
    QString sqlPrefix;      // a SELECT ending where the record's OID is appended
    QString messagePrefix;  // the refusal text before the items
    ListFormat format = ListFormat::QuotedLines;
    bool listItems = true;  // false: the refusal is the prefix alone
};

class ListForm : public QDialog {
    Q_OBJECT
public:
    RecordGrid *grid() const { return grid_; }
    DetailPane *pane() const { return pane_; }
    QPushButton *okButton() const { return ok_; }
    QToolBar *toolBar() const { return toolBar_; }
    QAction *addAction() const { return menuAdd_; }
    QAction *deleteAction() const { return menuDelete_; }
    QAction *changeAction() const { return menuChange_; }

    // The commands (each runs inside the general error display when triggered by the user).
    void addRecord();
    void changeRecord();
    void deleteRecord();
    // A click on the title of a column.
    void sortBy(int column);

    // The statement the list query runs now (the sorted one after a title click).
    QString listSql() const { return listSql_; }

    // Applies the remembered size before the form first appears.
    void setVisible(bool visible) override;

protected:
    ListForm(QWidget *parent, const QString &sizeSection);

    // Set up by the subclass's constructor.
    void setColumns(const QList<GridColumn> &columns, bool sortable);
    void setStatements(const QString &listSql, const QString &sortPrefix);
    void setMenuCaptions(const QString &add, const QString &remove, const QString &change);
    void setRepositioning(Reposition afterAdd, Reposition afterChange, Reposition afterDelete);
    void addDependencyCheck(const DependencyCheck &check) { checks_ << check; }
    void setDeleteStatement(const QString &prefix) { deletePrefix_ = prefix; }

    // The confirmation of a deletion.
    virtual QString deleteQuestion() const;
    // The text shown when the delete statement fails; empty: the general error display.
    virtual QString deleteFailedMessage() const { return {}; }
    // Opens the kind's edit form (mode 0 new with id 0, mode 1 change).
    virtual void editRecord(int mode, qint64 id) = 0;
    // Rebuilds the detail pane from the current record.
    virtual void RText() = 0;
    // Runs once when the form closes, by any way.
    virtual void FormClose() {}

    void showEvent(QShowEvent *event) override;
    void done(int result) override;

    // Reopens the list query and puts the current record as asked.
    void reopen(Reposition how, qint64 oid, int row);

    QVBoxLayout *mainLayout() const { return layout_; }
    QSplitter *splitter() const { return splitter_; }
    QHBoxLayout *bottomLayout() const { return bottom_; }

private:
    QVBoxLayout *layout_ = nullptr;
    QToolBar *toolBar_ = nullptr;
    QSplitter *splitter_ = nullptr;
    RecordGrid *grid_ = nullptr;
    DetailPane *pane_ = nullptr;
    QHBoxLayout *bottom_ = nullptr;
    QPushButton *ok_ = nullptr;
    QAction *menuAdd_ = nullptr;
    QAction *menuDelete_ = nullptr;
    QAction *menuChange_ = nullptr;

    QString listSql_;
    QString sortPrefix_;
    QString deletePrefix_;
    QList<DependencyCheck> checks_;
    Reposition afterAdd_ = Reposition::First;
    Reposition afterChange_ = Reposition::SameOid;
    Reposition afterDelete_ = Reposition::First;
    QString sizeSection_;
    bool sizeApplied_ = false;
    bool shown_ = false;
    bool closed_ = false;
};

}  // namespace ui
