#pragma once
// The main window: the topic and task tree, the current task, the network drawing, the
// listings and the consultation panel on its pages, and the routing of every command.

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
    int sitting() const { return sitting_; }
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

    // Makes a task current as a click on its tree node does.
    void selectTaskById(int taskId, const QString &taskName);

    // --- Parts of the window, for the rooms that fill them and for tests -------------------
    QTreeWidget *tree() const { return treeView1_; }
    QTabWidget *leftPages() const { return leftPages_; }
    QTabWidget *rightPages() const { return rightPages_; }
    QWidget *dialogPage() const { return dialogPage_; }
    QWidget *treePage() const { return treePage_; }
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
    int sitting_ = 0;
    QStringList steps_;
    bool dialogRunning_ = false;
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
