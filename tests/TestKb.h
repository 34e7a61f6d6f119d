#pragma once
// Test fixtures: a private program directory and configuration directory, an empty knowledge
// base opened as the program's connection, and small builders for its rows.

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testing_kb {

// Runs SQL text (throws kb::DbError on failure) and returns the last inserted key.
qint64 insert(const QString &sql);

// The builders write rows the way the editors do; they return the new key.
int topic(const QString &name, int key = 1);
int task(int topicId, const QString &name, int trustLimit = 50);
int subtask(int taskId, const QString &name, int turn);
// type "C" symbolic or "N" numeric.
int fact(int taskId, const QString &name, const QString &shortName, const QString &type = "C",
         int goal = 0, int multy = 0, int normal = 0, int nonDet = 0,
         const QString &question = {});
int value(int factId, const QString &mean);
// valueId -1 for a numeric conclusion, whose expression is action.
int rule(int taskId, int subtaskId, int factId, int valueId, int trust,
         const QString &action = {});
// A condition of a rule (metaId -1) or of a metarule (ruleId -1).
int condition(int ruleId, int factId, int valueId, int relation, const QString &action = {},
              int metaId = -1);
int meta(int taskId, int fromSubtask, int toSubtask);

// Rows of a SELECT as lines of tab-separated fields (for exact comparisons).
QStringList rows(const QString &sql);

// zelmora-cli run as a user runs it: a separate process with its own configuration directory.
struct CliRun {
    int code;  // -1 when it crashed
    QString out;
    QString err;
};
CliRun runCli(const QStringList &args, const QString &configDir);

}  // namespace testing_kb

// A fresh program directory (with its zelmora.ini), configuration directory (alias file) and
// knowledge base, opened as the program's connection. The alias Kolbex points at the base.
class KbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString programDir() const { return dir_.path() + "/bin/"; }
    QString kbDir() const { return dir_.path() + "/kb"; }
    QString configDir() const { return dir_.path() + "/config"; }

    // Copies the built sample knowledge base into kbDir() and opens it instead.
    void useSample();

    QTemporaryDir dir_;
};
