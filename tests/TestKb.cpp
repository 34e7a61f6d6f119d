#include "TestKb.h"

#include "dbengine/Aliases.h"
#include "dbengine/Paths.h"
#include "dbengine/Session.h"
#include "kb/Sql.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace testing_kb {

qint64 insert(const QString &sql)
{
    QSqlQuery q(kb::defaultDb());
    if (!q.exec(sql))
        throw kb::DbError(q.lastError().text() + " in: " + sql);
    return q.lastInsertId().toLongLong();
}

static QString quote(const QString &s)
{
    QString t = s;
    t.replace("'", "''");
    return "'" + t + "'";
}

int topic(const QString &name, int key)
{
    return int(insert(QString("INSERT INTO TTOPIC (TOPIC_NAME, TOPIC_TEXT, TOPIC_KEY) VALUES (%1, '', %2)")
                          .arg(quote(name))
                          .arg(key)));
}

int task(int topicId, const QString &name, int trustLimit)
{
    return int(insert(QString("INSERT INTO TTASK (TASK_NAME, GOALFACT_ID, TRUSTLIMIT, DESCRIPTION, TOPIC_ID) "
                              "VALUES (%1, 1, %2, '', %3)")
                          .arg(quote(name))
                          .arg(trustLimit)
                          .arg(topicId)));
}

int subtask(int taskId, const QString &name, int turn)
{
    return int(insert(QString("INSERT INTO TSUBTASK (SUBTASK_NAME, COMMENTS, TURN, TASK_ID) VALUES (%1, '', %2, %3)")
                          .arg(quote(name))
                          .arg(turn)
                          .arg(taskId)));
}

int fact(int taskId, const QString &name, const QString &shortName, const QString &type, int goal,
         int multy, int normal, int nonDet, const QString &question)
{
    return int(insert(QString("INSERT INTO TFACT (FACT_NAME, FACT_SHORT, FACT_QUESTION, TASK_ID, GOAL, "
                              "COMPLEX, NON_DET, ALIAS, MULTY, FACT_TEXT, NORMAL, TYPE) "
                              "VALUES (%1, %2, %3, %4, %5, 0, %6, '', %7, '', %8, %9)")
                          .arg(quote(name), quote(shortName),
                               quote(question.isEmpty() ? name + "?" : question))
                          .arg(taskId)
                          .arg(goal)
                          .arg(nonDet)
                          .arg(multy)
                          .arg(normal)
                          .arg(quote(type))));
}

int value(int factId, const QString &mean)
{
    return int(insert(QString("INSERT INTO TVALUE (FACT_ID, VALUE_MEAN, VALUE_TEXT) VALUES (%1, %2, '')")
                          .arg(factId)
                          .arg(quote(mean))));
}

int rule(int taskId, int subtaskId, int factId, int valueId, int trust, const QString &action)
{
    return int(insert(QString("INSERT INTO TRULE (FACT_ID, VALUE_ID, TASK_ID, TRUST, SUBTASK_ID, RULE_SOURCE, ACTION) "
                              "VALUES (%1, %2, %3, %4, %5, '', %6)")
                          .arg(factId)
                          .arg(valueId)
                          .arg(taskId)
                          .arg(trust)
                          .arg(subtaskId)
                          .arg(quote(action))));
}

int condition(int ruleId, int factId, int valueId, int relation, const QString &action, int metaId)
{
    return int(insert(QString("INSERT INTO TCONDITION (FACT_ID, VALUE_ID, BOOL, RULE_ID, META_ID, META, NOTEQUAL, ACTION) "
                              "VALUES (%1, %2, 'F', %3, %4, %5, %6, %7)")
                          .arg(factId)
                          .arg(valueId)
                          .arg(ruleId)
                          .arg(metaId)
                          .arg(quote(metaId == -1 ? "F" : "T"))
                          .arg(relation)
                          .arg(quote(action))));
}

int meta(int taskId, int fromSubtask, int toSubtask)
{
    return int(insert(QString("INSERT INTO TMETA (OLDSUBTASK_ID, SUBTASK_ID, TASK_ID) VALUES (%1, %2, %3)")
                          .arg(fromSubtask)
                          .arg(toSubtask)
                          .arg(taskId)));
}

QStringList rows(const QString &sql)
{
    QSqlQuery q(kb::defaultDb());
    if (!q.exec(sql))
        throw kb::DbError(q.lastError().text() + " in: " + sql);
    QStringList out;
    while (q.next()) {
        QStringList fields;
        for (int i = 0; i < q.record().count(); ++i)
            fields << q.value(i).toString();
        out << fields.join('\t');
    }
    return out;
}

CliRun runCli(const QStringList &args, const QString &configDir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", configDir);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QString(ZELMORA_BIN_DIR) + "/zelmora-cli", args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace testing_kb

void KbTest::SetUp()
{
    ASSERT_TRUE(dir_.isValid());
    QDir().mkpath(programDir());
    QDir().mkpath(configDir());
    qputenv("XDG_CONFIG_HOME", configDir().toUtf8());
    dbengine::setProgramDir(programDir());
    // The program directory holds the engine library, as an installed program's does.
    QFile::link(QString(ZELMORA_BIN_DIR) + "/libquorbbde.so", programDir() + "libquorbbde.so");
    dbengine::createKnowledgeBase(kbDir());
    dbengine::RegisterAlias(dbengine::kAliasName, kbDir(), dbengine::kDriverParadox);
    auto &session = dbengine::Session::instance();
    session.addPassword(dbengine::kTablePassword);
    session.openAlias(dbengine::kAliasName);
}

void KbTest::TearDown()
{
    dbengine::Session::instance().close();
    dbengine::setProgramDir({});
}

void KbTest::useSample()
{
    auto &session = dbengine::Session::instance();
    session.close();
    const QString sample = QString(ZELMORA_BIN_DIR) + "/DB_SAMPLE/";
    QFile::remove(dbengine::databaseFile(kbDir()));
    ASSERT_TRUE(QFile::copy(dbengine::databaseFile(sample), dbengine::databaseFile(kbDir())));
    QFile::setPermissions(dbengine::databaseFile(kbDir()), QFile::ReadOwner | QFile::WriteOwner);
    session.openAlias(dbengine::kAliasName);
}
