#pragma once
// The main window: the topic and task tree, the current task, the network drawing, the
// listings and the consultation panel on its pages, and the routing of every command.

#include "consultation/Consultation.h"

#include <QMainWindow>
#include <QStringList>

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class TDialogPanel;

namespace ui {
class ReportPane;
}
namespace network {
class NetworkSurface;
}

// Tree node data: the task number (0 for a topic node) and the task name (empty for a topic).
struct TNRec {
    int taskId = 0;
    QString taskName;
};
Q_DECLARE_METATYPE(TNRec)

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // --- State read by the other windows ------------------------------------------------
    int currentTask() const { return taskId_; }
    QString currentTaskName() const { return taskName_; }
    int goalFact() const { return goalFact_; }
    int highlightedSubtask() const { return highlightedSubtask_; }
    int currentFact() const { return currentFact_; }
    int currentRule() const { return currentRule_; }
    double zoom() const { return zoom_; }
    bool vertical() const { return vertical_; }
    // The consultation: the sitting of the last one (0 before the first of the run) and its
    // steps stay after it ends, for the network colours and the results.
    int sitting() const { return consultation_.sitting(); }
    const consultation::Consultation &consultation() const { return consultation_; }
    bool dialogRunning() const { return dialogRunning_; }
    // The decimal text of "Main"/"Task" as read at start: the document title of the listings.
    QString printTitle() const { return taskSetting_; }
    // True when the database layer could not be found at start; the program then ends.
    bool engineMissing() const { return engineMissing_; }

    // --- Operations used by the other windows --------------------------------------------
    void SelectTask();      // rebuild the tree
    void SelectSubTask();   // refill the subtask box
    void Fact_Value();      // rebuild the entities-and-values listing
    void Rule_Cond();       // rebuild the rules listing
    void GoalObj();         // find the goal entity; build the network when the task has none
    void ShowGraph();       // load the network of the current task for drawing
    void FreshGraph();      // reload the drawing from the network tables and repaint it
    QString NameObj(int factId, bool fullName) const;  // an entity's full or short name
    void StartDialog();     // the window while a consultation runs: only its page, no editing
    void FinishDialog();    // back to the tree, every command as it was before the start

    // Makes a task current as a click on its tree node does.
    void selectTaskById(int taskId, const QString &taskName);

    // --- Parts of the window, for the rooms that fill them and for tests -------------------
    QTreeWidget *tree() const { return treeView1_; }
    QTabWidget *leftPages() const { return leftPages_; }
    QTabWidget *rightPages() const { return rightPages_; }
    QWidget *dialogPage() const { return dialogPage_; }
    QWidget *treePage() const { return treePage_; }
    TDialogPanel *dialogPanel() const { return dialogPanel_; }
    QComboBox *subtaskBox() const { return subtaskBox_; }
    QScrollArea *networkArea() const { return networkArea_; }
    network::NetworkSurface *paintBox() const;  // the network's paint surface
    ui::ReportPane *factsPane() const { return factsPane_; }
    ui::ReportPane *rulesPane() const { return rulesPane_; }
    QLabel *taskLabel() const { return taskLabel_; }
    QAction *action(const QString &objectName) const;
    QMenu *menu(const QString &objectName) const;

public slots:
    void TreeView1Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();

    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildPages();
    void buildStatusBar();
    void connectCommands();
    QAction *makeAction(const QString &name, const QString &caption, const QString &hint,
                        const QString &glyph, quint32 colour);
    void showAbout();
    void openHelp();
    void rightPageChanged(int index);
    // The network page (network/MainNetwork.cpp).
    void buildNetwork();
    void resetNetworkSize();
    void zoomIn();
    void zoomOut();
    void rotate();
    // The consultation commands (MainConsultation.cpp).
    void buildDialog();
    void loadEngine();
    void startConsultation();
    void finishConsultation();
    void dialogueOver(bool noResult);
    void openResults();
    void showLastResults();
    void cleanTables();
    // The record editors' commands (editors/MainEditors.cpp).
    void connectEditors();

    // State
    int taskId_ = 0;
    QString taskName_;
    QString taskSetting_ = QStringLiteral("0");
    int goalFact_ = 0;
    int highlightedSubtask_ = 0;
    int currentFact_ = 0;
    int currentRule_ = 0;
    double zoom_ = 1.0;
    bool vertical_ = true;
    consultation::Consultation consultation_;
    bool dialogRunning_ = false;
    // Commands the dialogue disabled, with the state each had before it started.
    QList<QPair<QAction *, bool>> dialogDisabled_;
    bool shown_ = false;
    bool engineMissing_ = false;

    // Widgets
    QToolBar *toolBar_ = nullptr;
    QLabel *taskLabel_ = nullptr;
    QSplitter *splitter_ = nullptr;
    QTabWidget *leftPages_ = nullptr;
    QTabWidget *rightPages_ = nullptr;
    QWidget *treePage_ = nullptr;
    QWidget *dialogPage_ = nullptr;
    TDialogPanel *dialogPanel_ = nullptr;
    QTreeWidget *treeView1_ = nullptr;
    QWidget *networkPage_ = nullptr;
    QComboBox *subtaskBox_ = nullptr;
    QPushButton *printNetwork_ = nullptr;
    QScrollArea *networkArea_ = nullptr;
    network::NetworkSurface *paintBox1_ = nullptr;
    QWidget *factsPage_ = nullptr;
    QWidget *rulesPage_ = nullptr;
    ui::ReportPane *factsPane_ = nullptr;
    ui::ReportPane *rulesPane_ = nullptr;
    QButtonGroup *factsOrder_ = nullptr;
    QButtonGroup *rulesOrder_ = nullptr;
    QPushButton *printFacts_ = nullptr;
    QPushButton *printRules_ = nullptr;
    QList<QLabel *> statusPanels_;
};
