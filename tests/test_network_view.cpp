// The drawing of the network: loading into fractional lists, the pixel positions of the drawn
// list in both orientations and under zoom, the colours of a consultation's state read from
// the rendered picture, and the main window's goal check and refresh.

#include "TestKb.h"

#include "app/MainMenu.h"
#include "kb/Sql.h"
#include "network/DataModule.h"
#include "network/NetworkModel.h"
#include "network/NetworkPaint.h"
#include "network/NetworkView.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QScrollArea>

#include <cmath>

using namespace testing_kb;

namespace {

QString n(int v) { return QString::number(v); }

int px(double v) { return int(std::lround(v)); }

struct Point {
    int x, y;
    bool operator==(const Point &o) const { return x == o.x && y == o.y; }
};
void PrintTo(const Point &p, std::ostream *os) { *os << "(" << p.x << ", " << p.y << ")"; }

// The pixel positions of the drawn list, in list order (highest vertex number first).
QList<Point> positions(const QList<network::DDec> &drawn)
{
    QList<Point> out;
    for (const auto &d : drawn)
        out.append({d.x, d.y});
    return out;
}

}  // namespace

// --- Loading ------------------------------------------------------------------------------

class NetworkLoading : public KbTest {};

// The lists hold the vertices from the highest number down, with the level's count taken
// from its last vertex; names and subtasks come with them; edges keep their row order.
TEST_F(NetworkLoading, ListsFromTheNetworkRows)
{
    const int t = task(topic("Тема"), "Задача");
    const int s1 = subtask(t, "Первая", 1);
    const int s2 = subtask(t, "Вторая", 2);
    const int g = fact(t, "Цель", "Ц", "C", 1);
    const int a = fact(t, "Лист", "Л");
    const int loose = fact(t, "Отдельная", "О");
    const int r1 = rule(t, s1, g, -1, 100);
    condition(r1, a, -1, 2);
    const int r2 = rule(t, s2, g, -1, 100);
    TDataModule1::instance().FreshGraph(t);

    const network::LoadedNetwork net = network::loadNetwork(t, 0);  // the goal is found
    EXPECT_EQ(net.goal, g);
    ASSERT_EQ(net.vertices.size(), 5);
    // Vertex 5 (unconnected, level 4 of 4), 4 (leaf, level 3), 3 and 2 (rules), 1 (goal).
    const auto &v = net.vertices;
    EXPECT_EQ(v[0].id, loose);
    EXPECT_DOUBLE_EQ(v[0].yFraction, 4.0 / 5);
    EXPECT_DOUBLE_EQ(v[0].xFraction, 1.0 / 2);
    EXPECT_FALSE(v[0].leaf);
    EXPECT_EQ(v[0].shortName, "О");
    EXPECT_EQ(v[1].id, a);
    EXPECT_TRUE(v[1].leaf);
    EXPECT_EQ(v[1].subtask, -1);
    EXPECT_TRUE(v[2].rule);
    EXPECT_EQ(v[2].id, r2);
    EXPECT_EQ(v[2].subtask, s2);
    EXPECT_DOUBLE_EQ(v[2].xFraction, 2.0 / 3);
    EXPECT_DOUBLE_EQ(v[2].yFraction, 2.0 / 5);
    EXPECT_EQ(v[3].id, r1);
    EXPECT_EQ(v[3].subtask, s1);
    EXPECT_DOUBLE_EQ(v[3].xFraction, 1.0 / 3);
    EXPECT_EQ(v[4].id, g);
    EXPECT_EQ(v[4].shortName, "Ц");
    EXPECT_DOUBLE_EQ(v[4].xFraction, 1.0 / 2);
    EXPECT_DOUBLE_EQ(v[4].yFraction, 1.0 / 5);
    ASSERT_EQ(net.edges.size(), 3);
    EXPECT_TRUE(net.edges[0].conclusion);
    EXPECT_EQ(net.edges[2].from, 2);
    EXPECT_EQ(net.edges[2].to, 4);
    EXPECT_FALSE(net.edges[2].conclusion);
    EXPECT_EQ(net.positionOf(1), 4);
    EXPECT_EQ(net.positionOf(6), -1);

    // No rows for a goal: both lists empty, and painting with goal 0 leaves a white surface.
    EXPECT_TRUE(network::loadNetwork(t + 1, 0).vertices.isEmpty());
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    const auto drawn = network::paintNetwork(painter, image.size(), net, network::ViewState{}, QFont());
    painter.end();
    EXPECT_TRUE(drawn.isEmpty());
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(199, 99), QColor(Qt::white));
}

// --- The window ----------------------------------------------------------------------------

class NetworkWindow : public KbTest {
protected:
    void SetUp() override
    {
        KbTest::SetUp();
        t = task(topic("Тема"), "Задача");
        s1 = subtask(t, "Первая", 1);
        s2 = subtask(t, "Вторая", 2);
    }
    std::unique_ptr<TForm1> openWindow()
    {
        auto w = std::make_unique<TForm1>();
        w->show();
        QApplication::processEvents();
        w->selectTaskById(t, "Задача");
        w->SelectSubTask();
        QApplication::processEvents();
        return w;
    }
    // Repaints the surface into an image; the drawn list is that repaint's.
    static QImage picture(TForm1 &w) { return w.paintBox()->grab().toImage(); }
    static QList<network::DDec> drawn(TForm1 &w)
    {
        picture(w);
        return w.paintBox()->drawn();
    }

    ui::ScriptedPrompts prompts;
    int t = 0, s1 = 0, s2 = 0;
};

// A task click builds the network when it has none and draws it; repeated goal checks of a
// goal without edges keep one vertex row. The goal alone sits in the centre.
TEST_F(NetworkWindow, TaskClickBuildsOnceAndDrawsTheGoalAlone)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    auto w = openWindow();
    EXPECT_EQ(w->goalFact(), g);
    EXPECT_EQ(rows("SELECT NVER, OBJ_ID FROM TVER WHERE TASK_ID=" + n(t)), QStringList{"1\t" + n(g)});
    w->GoalObj();
    w->selectTaskById(t, "Задача");
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TVER WHERE TASK_ID=" + n(t)), QStringList{"1"});

    const QSize area = w->networkArea()->maximumViewportSize();
    EXPECT_EQ(w->paintBox()->size(), area);
    const int W = area.width(), H = area.height();
    EXPECT_EQ(positions(drawn(*w)), QList<Point>({{px(W / 2.0), px(H / 2.0)}}));
    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join('|').toStdString();
}

// Three rules without conditions: the goal at a third of the height, the rules spread at
// quarters across the width on two thirds. An unconnected entity adds a level below.
// Rotated, the levels run from left to right.
TEST_F(NetworkWindow, PositionsInBothOrientations)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    for (int i = 0; i < 3; ++i)
        rule(t, s1, g, -1, 100);
    auto w = openWindow();
    int W = w->paintBox()->width(), H = w->paintBox()->height();
    EXPECT_EQ(positions(drawn(*w)), QList<Point>({{px(3 * W / 4.0), px(2 * H / 3.0)},
                                                  {px(W / 2.0), px(2 * H / 3.0)},
                                                  {px(W / 4.0), px(2 * H / 3.0)},
                                                  {px(W / 2.0), px(H / 3.0)}}));

    fact(t, "Отдельная", "О");
    TDataModule1::instance().FreshGraph(t);
    w->FreshGraph();
    EXPECT_EQ(positions(drawn(*w)), QList<Point>({{px(W / 2.0), px(3 * H / 4.0)},
                                                  {px(3 * W / 4.0), px(H / 2.0)},
                                                  {px(W / 2.0), px(H / 2.0)},
                                                  {px(W / 4.0), px(H / 2.0)},
                                                  {px(W / 2.0), px(H / 4.0)}}));

    w->action("actRotate")->trigger();
    EXPECT_FALSE(w->vertical());
    EXPECT_EQ(w->paintBox()->size(), QSize(W, H));
    EXPECT_EQ(positions(drawn(*w)), QList<Point>({{px(3 * W / 4.0), px(H / 2.0)},
                                                  {px(W / 2.0), px(3 * H / 4.0)},
                                                  {px(W / 2.0), px(H / 2.0)},
                                                  {px(W / 2.0), px(H / 4.0)},
                                                  {px(W / 4.0), px(H / 2.0)}}));
    w->action("actRotate")->trigger();
    EXPECT_TRUE(w->vertical());
    EXPECT_EQ(drawn(*w).last().y, px(H / 4.0));
}

// Zooming in detaches the surface from the area and makes it z*z times the area; in the
// horizontal orientation the coordinates grow by z once more. Zooming out twice returns to
// 1.0 and the area's size. Zooming out first changes nothing visible in the vertical
// orientation and shrinks the horizontal picture to 0.8.
TEST_F(NetworkWindow, ZoomInTwiceAndBack)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    rule(t, s1, g, -1, 100);
    auto w = openWindow();
    const QSize area = w->paintBox()->areaSize();
    const int W = area.width(), H = area.height();

    w->action("actZoomOut")->trigger();
    EXPECT_DOUBLE_EQ(w->zoom(), 0.8);
    EXPECT_EQ(w->paintBox()->size(), area);
    EXPECT_EQ(positions(drawn(*w)), QList<Point>({{px(W / 2.0), px(2 * H / 3.0)}, {px(W / 2.0), px(H / 3.0)}}));
    w->action("actRotate")->trigger();
    EXPECT_EQ(positions(drawn(*w)),
              QList<Point>({{px(W * 2 / 3.0 * 0.8), px(H / 2.0 * 0.8)}, {px(W / 3.0 * 0.8), px(H / 2.0 * 0.8)}}));
    w->action("actZoomIn")->trigger();
    EXPECT_DOUBLE_EQ(w->zoom(), 1.0);

    w->action("actZoomIn")->trigger();
    w->action("actZoomIn")->trigger();
    const double z = 1.5625;
    EXPECT_DOUBLE_EQ(w->zoom(), z);
    EXPECT_FALSE(w->paintBox()->followsArea());
    const QSize big(px(W * z * z), px(H * z * z));
    EXPECT_EQ(w->paintBox()->size(), big);
    EXPECT_EQ(positions(drawn(*w)), QList<Point>({{px(big.width() * 2 / 3.0 * z), px(big.height() / 2.0 * z)},
                                                  {px(big.width() / 3.0 * z), px(big.height() / 2.0 * z)}}));
    w->action("actRotate")->trigger();
    EXPECT_EQ(positions(drawn(*w)), QList<Point>({{px(big.width() / 2.0), px(big.height() * 2 / 3.0)},
                                                  {px(big.width() / 2.0), px(big.height() / 3.0)}}));

    w->action("actZoomOut")->trigger();
    w->action("actZoomOut")->trigger();
    EXPECT_DOUBLE_EQ(w->zoom(), 1.0);
    EXPECT_EQ(w->paintBox()->size(), area);

    // A new task selection starts at 1.0 with the area's size.
    w->action("actZoomIn")->trigger();
    w->selectTaskById(t, "Задача");
    EXPECT_DOUBLE_EQ(w->zoom(), 1.0);
    EXPECT_EQ(w->paintBox()->size(), area);
}

// The colours of a consultation's state, read from the picture: a fired rule is filled red
// and so are its edges; a rule known only through LOUT is gray with silver edges; a rule not
// in the dialogue is a red outline on white; an entity with a value is filled (blue, or lime
// for a leaf); a leaf without a value is a lime ring. Rules of the highlighted subtask are
// numbered in bold.
TEST_F(NetworkWindow, ColoursOfTheSitting)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    const int a = fact(t, "Лист А", "А");
    const int b = fact(t, "Лист Б", "Б");
    const int c = fact(t, "Промежуточная", "П");
    const int r1 = rule(t, s1, g, -1, 100);
    condition(r1, a, -1, 2);
    const int r2 = rule(t, s2, g, -1, 100);
    condition(r2, b, -1, 2);
    const int r3 = rule(t, s2, g, -1, 100);
    condition(r3, c, -1, 2);
    rule(t, s2, c, -1, 100);
    // Sitting 0 is the one before any consultation of the run.
    kb::execSql("INSERT INTO TDIALOG (SITTING_ID, RULE_ID, LRES, LOUT) VALUES (0, " + n(r1) + ", 1, 'F')");
    kb::execSql("INSERT INTO TDIALOG (SITTING_ID, RULE_ID, LRES, LOUT) VALUES (0, " + n(r2) + ", 0, 'T')");
    kb::execSql("INSERT INTO TRFACT (SITTING_ID, FACT_ID, VALUE_ID, TRUST) VALUES (0, " + n(g) + ", -1, 90)");
    kb::execSql("INSERT INTO TRFACT (SITTING_ID, FACT_ID, VALUE_ID, TRUST) VALUES (0, " + n(a) + ", -1, 100)");
    auto w = openWindow();
    ASSERT_EQ(w->sitting(), 0);

    const QImage image = picture(*w);
    const QList<network::DDec> d = w->paintBox()->drawn();
    auto at = [&](int id, bool isRule) {
        for (const auto &v : d)
            if (v.id == id && v.rule == isRule)
                return v;
        ADD_FAILURE() << "no vertex " << id;
        return network::DDec{};
    };
    auto centre = [&](const network::DDec &v) { return image.pixelColor(v.x, v.y); };
    // The colours that occur in the box of a vertex.
    auto colours = [&](const network::DDec &v) {
        QSet<QRgb> out;
        for (int y = v.y - 5; y <= v.y + 5; ++y)
            for (int x = v.x - 5; x <= v.x + 5; ++x)
                out.insert(image.pixel(x, y));
        return out;
    };
    // The colours along the middle of an edge, within a pixel of the line.
    auto edgeColours = [&](const network::DDec &p, const network::DDec &q) {
        QSet<QRgb> out;
        for (int i = 30; i <= 70; ++i) {
            const int x = px(p.x + (q.x - p.x) * i / 100.0), y = px(p.y + (q.y - p.y) * i / 100.0);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    out.insert(image.pixel(x + dx, y + dy));
        }
        out.remove(QColor(Qt::white).rgb());
        return out;
    };
    const QRgb red = network::kRed.rgb(), silver = network::kSilver.rgb(),
               lime = network::kLime.rgb(), blue = network::kBlue.rgb();

    EXPECT_EQ(centre(at(r1, true)), network::kRed);
    EXPECT_TRUE(at(r1, true).fired);
    EXPECT_EQ(centre(at(r2, true)), network::kGray);
    EXPECT_FALSE(at(r2, true).fired);
    EXPECT_EQ(centre(at(r3, true)), QColor(Qt::white));
    EXPECT_TRUE(colours(at(r3, true)).contains(red));
    EXPECT_EQ(centre(at(g, false)), network::kBlue);
    EXPECT_EQ(centre(at(a, false)), network::kLime);
    EXPECT_EQ(centre(at(b, false)), QColor(Qt::white));
    EXPECT_TRUE(colours(at(b, false)).contains(lime));
    EXPECT_EQ(centre(at(c, false)), QColor(Qt::white));
    EXPECT_TRUE(colours(at(c, false)).contains(blue));

    EXPECT_EQ(edgeColours(at(g, false), at(r1, true)), QSet<QRgb>{red});   // solid, conclusion
    EXPECT_EQ(edgeColours(at(r1, true), at(a, false)), QSet<QRgb>{red});   // dotted, condition
    EXPECT_EQ(edgeColours(at(g, false), at(r2, true)), QSet<QRgb>{silver});
    EXPECT_EQ(edgeColours(at(r2, true), at(b, false)), QSet<QRgb>{silver});
    EXPECT_EQ(edgeColours(at(g, false), at(r3, true)), QSet<QRgb>{silver});

    // Highlighting subtask 1 thickens the number of r1 only.
    auto label = [&](const QImage &img, const network::DDec &v) { return img.copy(v.x - 5, v.y - 20, 30, 14); };
    const int s1Index = w->subtaskBox()->findData(s1);
    ASSERT_GT(s1Index, 0);
    w->subtaskBox()->setCurrentIndex(s1Index);
    emit w->subtaskBox()->activated(s1Index);
    EXPECT_EQ(w->highlightedSubtask(), s1);
    const QImage highlighted = picture(*w);
    EXPECT_NE(label(highlighted, at(r1, true)), label(image, at(r1, true)));
    EXPECT_EQ(label(highlighted, at(r3, true)), label(image, at(r3, true)));
    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join('|').toStdString();
}

// Without a goal entity the surface is white, whatever the tables hold.
TEST_F(NetworkWindow, NoGoalLeavesTheSurfaceWhite)
{
    fact(t, "А", "А");
    fact(t, "Б", "Б");
    auto w = openWindow();
    EXPECT_EQ(w->goalFact(), 0);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TVER WHERE TASK_ID=" + n(t) + " AND GOAL_ID=0"), QStringList{"3"});
    const QImage image = picture(*w);
    EXPECT_TRUE(w->paintBox()->drawn().isEmpty());
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
}

// The sample knowledge base: every task's network builds and draws, also zoomed and rotated,
// with every vertex of its rows in the drawn list and no error shown.
TEST_F(NetworkWindow, SampleTasksDraw)
{
    useSample();
    auto w = std::make_unique<TForm1>();
    w->show();
    QApplication::processEvents();
    const QStringList tasks = rows("SELECT TASK_ID, TASK_NAME FROM TTASK ORDER BY TASK_ID");
    ASSERT_FALSE(tasks.isEmpty());
    for (const QString &line : tasks) {
        const int id = line.section('\t', 0, 0).toInt();
        w->selectTaskById(id, line.section('\t', 1));
        const int goal = w->goalFact();
        ASSERT_GT(goal, 0) << line.toStdString();
        const QString count = rows("SELECT COUNT(*) FROM TVER WHERE TASK_ID=" + n(id) + " AND GOAL_ID=" + n(goal))[0];
        EXPECT_EQ(n(int(drawn(*w).size())), count) << line.toStdString();
        w->action("actZoomIn")->trigger();
        w->action("actRotate")->trigger();
        EXPECT_EQ(n(int(drawn(*w).size())), count) << line.toStdString();
        w->action("actRotate")->trigger();
    }
    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join('|').toStdString();
}

// A repaint that cannot read the consultation's tables leaves the surface white and reports
// the database's error once, after the paint, however often the surface is repainted.
TEST_F(NetworkWindow, PaintErrorIsShownOnceAndLeavesTheSurfaceWhite)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    rule(t, s1, g, -1, 100);
    auto w = openWindow();
    ASSERT_EQ(drawn(*w).size(), 2);
    kb::execSql("DROP TABLE TDialog");
    const QImage image = picture(*w);
    picture(*w);
    QApplication::processEvents();
    EXPECT_TRUE(w->paintBox()->drawn().isEmpty());
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 3), QColor(Qt::white));
    const QStringList errors = prompts.texts(ui::ScriptedPrompts::Kind::Error);
    ASSERT_EQ(errors.size(), 1) << errors.join('|').toStdString();
    EXPECT_TRUE(errors[0].contains("TDialog", Qt::CaseInsensitive)) << errors[0].toStdString();
}

// Zooming far in and far out draws without trouble: the surface may be huge or empty, and
// only what is visible is painted.
TEST_F(NetworkWindow, ExtremeZoomStillDraws)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    condition(rule(t, s1, g, -1, 100), fact(t, "Лист", "Л"), -1, 2);
    auto w = openWindow();
    w->action("actRotate")->trigger();
    for (int i = 0; i < 40; ++i)
        w->action("actZoomIn")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(w->paintBox()->drawn().size(), 3);
    for (int i = 0; i < 80; ++i)
        w->action("actZoomOut")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(w->paintBox()->size(), QSize(0, 0));
    EXPECT_EQ(drawn(*w).size(), 3);
    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join('|').toStdString();
}
