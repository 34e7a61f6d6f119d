// init, tasks and import: creating a knowledge base, listing its tasks, filling it from a script.

#include "cli/Cli.h"

#include "dbengine/Session.h"
#include "kb/Sql.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace {

int initCommand(cli::Context &c)
{
    const QStringList pos = c.positional({});
    if (pos.size() != 1)
        throw cli::UsageError(QStringLiteral("init needs one directory"));
    dbengine::createKnowledgeBase(pos[0]);
    return 0;
}

int tasksCommand(cli::Context &c)
{
    c.openKnowledgeBase();
    kb::Query q(QStringLiteral("SELECT T.TASK_ID, T.TASK_NAME, P.TOPIC_NAME FROM TTASK T "
                               "LEFT JOIN TTOPIC P ON P.TOPIC_ID=T.TOPIC_ID ORDER BY T.TASK_ID"));
    q.open();
    for (; !q.eof(); q.next())
        c.out << q.asInteger(QStringLiteral("TASK_ID")) << '\t' << q.asString(QStringLiteral("TASK_NAME"))
              << '\t' << q.asString(QStringLiteral("TOPIC_NAME")) << '\n';
    return 0;
}

// A picture file as stored in a knowledge base: BMP bytes. Files in other formats (the
// sample's pictures are kept as text, XPM) are converted.
QByteArray pictureBytes(const QString &file)
{
    QImage image(file);
    if (image.isNull())
        throw cli::UsageError(QStringLiteral("cannot read picture %1").arg(file), 1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// Runs a script of SQL statements, each ending with ';' at the end of a line. Lines starting
// with "--" are comments. A line "@picture TABLE COLUMN KEYCOLUMN ID FILE" stores the
// picture FILE (relative to the script) into COLUMN of the row of TABLE whose KEYCOLUMN is
// ID. Everything runs in one transaction: a failing statement leaves the base as it was.
void runScript(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw cli::UsageError(QStringLiteral("cannot read %1").arg(path), 1);
    const QDir base = QFileInfo(path).absoluteDir();
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    kb::Transaction tx;
    QString statement;
    int lineNo = 0;
    int startLine = 0;
    for (const QString &raw : lines) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (statement.isEmpty() && (line.isEmpty() || line.startsWith(QStringLiteral("--"))))
            continue;
        if (statement.isEmpty() && line.startsWith(u'@')) {
            const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
            if (f.size() != 6 || f[0] != QStringLiteral("@picture"))
                throw cli::UsageError(QStringLiteral("%1:%2: bad directive").arg(path).arg(lineNo), 1);
            kb::Query q(QStringLiteral("UPDATE %1 SET %2=:P0 WHERE %3=:P1").arg(f[1], f[2], f[3]));
            q.setBlob(QStringLiteral("P0"), pictureBytes(base.filePath(f[5])));
            q.setInteger(QStringLiteral("P1"), f[4].toLongLong());
            q.exec();
            continue;
        }
        if (statement.isEmpty())
            startLine = lineNo;
        statement += raw + u'\n';
        if (line.endsWith(u';')) {
            try {
                kb::execSql(statement);
            } catch (const kb::DbError &e) {
                throw kb::DbError(QStringLiteral("%1:%2: %3").arg(path).arg(startLine).arg(e.text()));
            }
            statement.clear();
        }
    }
    if (!statement.trimmed().isEmpty())
        throw cli::UsageError(QStringLiteral("%1: the last statement has no ';'").arg(path), 1);
    tx.commit();
}

int importCommand(cli::Context &c)
{
    const QStringList pos = c.positional({});
    if (pos.size() != 1)
        throw cli::UsageError(QStringLiteral("import needs one script file"));
    c.openKnowledgeBase();
    runScript(pos[0]);
    return 0;
}

ZELMORA_CLI_COMMAND("init", "init DIR                  create an empty knowledge base in DIR", initCommand);
ZELMORA_CLI_COMMAND("tasks", "tasks                     list the tasks: TASK_ID, TASK_NAME, TOPIC_NAME", tasksCommand);
ZELMORA_CLI_COMMAND("import", "import SCRIPT.sql         run a script of statements (and @picture lines)", importCommand);

}  // namespace
