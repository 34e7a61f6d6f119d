// zelmora-cli as a user runs it: a separate process, its output and exit code.

#include "TestKb.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using testing_kb::CliRun;

namespace {
CliRun cli(const QStringList &args, const QString &configDir) { return testing_kb::runCli(args, configDir); }
}  // namespace

TEST(Cli, InitThenTasks)
{
    QTemporaryDir dir;
    const QString kb = dir.filePath("new kb");
    CliRun r = cli({"init", kb}, dir.path());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = cli({"--db", kb, "tasks"}, dir.path());
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "");

    const QString script = dir.filePath("rows.sql");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("INSERT INTO TTOPIC (TOPIC_NAME, TOPIC_KEY) VALUES ('Медицина', 1);\n"
            "INSERT INTO TTASK (TASK_NAME, TOPIC_ID) VALUES ('Грипп', 1);\n"
            "INSERT INTO TTASK (TASK_NAME, TOPIC_ID) VALUES ('Ангина', 1);\n");
    f.close();
    r = cli({"--db", kb, "import", script}, dir.path());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = cli({"--db", kb, "tasks"}, dir.path());
    EXPECT_EQ(r.out, "1\tГрипп\tМедицина\n2\tАнгина\tМедицина\n");
}

TEST(Cli, ErrorsGoToStderrWithNonZeroCode)
{
    QTemporaryDir dir;
    struct Case {
        QStringList args;
        const char *inErr;
    };
    const Case cases[] = {
        {{"--db", dir.filePath("none"), "tasks"}, "none"},
        {{"tasks"}, "Kolbex"},  // no alias registered in this configuration
        {{"no-such-command"}, "unknown command"},
        {{"init"}, "directory"},
        {{"--db"}, "usage"},
    };
    for (const Case &c : cases) {
        const CliRun r = cli(c.args, dir.path());
        EXPECT_NE(r.code, 0) << c.args.join(' ').toStdString();
        EXPECT_NE(r.code, -1) << "crashed: " << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.inErr)) << r.err.toStdString();
        EXPECT_EQ(r.out, "");
    }
}

TEST(Cli, FailedImportLeavesTheBaseAsItWas)
{
    QTemporaryDir dir;
    const QString kb = dir.filePath("kb");
    ASSERT_EQ(cli({"init", kb}, dir.path()).code, 0);
    const QString script = dir.filePath("bad.sql");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("INSERT INTO TTOPIC (TOPIC_NAME, TOPIC_KEY) VALUES ('Медицина', 1);\n"
            "INSERT INTO NO_TABLE VALUES (1);\n");
    f.close();
    const CliRun r = cli({"--db", kb, "import", script}, dir.path());
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains("bad.sql:2")) << r.err.toStdString();
    EXPECT_EQ(cli({"--db", kb, "tasks"}, dir.path()).out, "");
    EXPECT_EQ(cli({"--db", kb, "import", script}, dir.path()).code, 1);
}
