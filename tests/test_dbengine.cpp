// The database layer (alias configuration, session) and the INI file under the settings.

#include "TestKb.h"

#include "dbengine/Aliases.h"
#include "dbengine/IniFile.h"
#include "dbengine/Paths.h"
#include "dbengine/Session.h"
#include "kb/Sql.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using dbengine::IniFile;

namespace {

QString readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A private configuration directory for tests that do not need a knowledge base.
class ConfigDir : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", dir.path().toUtf8()); }
    QTemporaryDir dir;
};

}  // namespace

TEST(IniFile, SectionsAndKeysIgnoreLetterCase)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zelmora.ini");
    writeAll(path, "[MAIN]\nTASK=7\n[RulesByObj]\nWidth=640\nHeight=480\n");
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger("Main", "Task"), 7);
    EXPECT_EQ(ini.readInteger("RulesbyObj", "width"), 640);
    // Writing under another spelling changes the existing key, not a second one.
    ini.writeInteger("rulesbyobj", "WIDTH", 800);
    ASSERT_TRUE(ini.save());
    const QString text = readAll(path);
    EXPECT_EQ(text.count("Width", Qt::CaseInsensitive), 1);
    EXPECT_TRUE(text.contains("[RulesByObj]\nWidth=800")) << text.toStdString();
}

TEST(IniFile, MissingDamagedOrUnreadableGivesDefaults)
{
    QTemporaryDir dir;
    struct Case {
        const char *name;
        QByteArray content;
    };
    const Case cases[] = {
        {"missing", {}},
        {"binary junk", QByteArray("\x00\xff\xfe[Ma\x00in\nTask\x01=\x02", 16)},
        {"header without bracket", "[Main\nTask=5\n"},
        {"key before any section", "Task=5\n"},
        {"not a number", "[Main]\nTask=пять\n"},
        {"empty key", "[Main]\n=5\n"},
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        if (!c.content.isNull())
            writeAll(path, c.content);
        IniFile ini(path);
        EXPECT_EQ(ini.readInteger("Main", "Task", 0), 0) << c.name;
        EXPECT_EQ(ini.readString("Main", "WinAppName"), QString()) << c.name;
    }
    // A directory in place of the file cannot be read: defaults, no failure.
    QDir(dir.path()).mkdir("adir");
    IniFile ini;
    EXPECT_FALSE(ini.load(dir.filePath("adir")));
    EXPECT_EQ(ini.readInteger("Main", "Task", 3), 3);
}

TEST(IniFile, SaveReplacesTheWholeFileAtOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zelmora.ini");
    writeAll(path, "[Main]\nTask=1\nURL=http://x\n");
    IniFile ini(path);
    ini.writeInteger("Main", "Task", 2);
    ini.writeString("Topic", "Width", "100");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readAll(path), "[Main]\nTask=2\nURL=http://x\n\n[Topic]\nWidth=100\n");
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"zelmora.ini"});
    // When the file cannot be written, the old one stays whole.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    ini.writeInteger("Main", "Task", 3);
    const bool saved = ini.save();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!saved) {  // root may write anyway; then there is nothing to check
        EXPECT_EQ(IniFile(path).readInteger("Main", "Task"), 2);
    }
}

TEST(IniFile, ValuesStayOnOneLine)
{
    QTemporaryDir dir;
    IniFile ini;
    ini.writeString("Main", "URL", "a\nb=c\r\n[Evil]");
    ASSERT_TRUE(ini.saveAs(dir.filePath("x.ini")));
    IniFile back(dir.filePath("x.ini"));
    EXPECT_EQ(back.sections(), QStringList{"Main"});
    EXPECT_EQ(back.readString("Main", "URL"), "a b=c  [Evil]");
}

TEST_F(ConfigDir, AliasRegisteredOnceAndKeptInItsOwnFile)
{
    EXPECT_TRUE(dbengine::AliasConfig::names().isEmpty());
    EXPECT_FALSE(dbengine::AliasExists("Kolbex"));
    dbengine::RegisterAlias("Kolbex", "/data/DB_SAMPLE", "PARADOX");
    EXPECT_TRUE(QFile::exists(dbengine::aliasConfigFile()));
    EXPECT_TRUE(dbengine::aliasConfigFile().startsWith(dir.path()));
    EXPECT_TRUE(dbengine::AliasExists("Kolbex"));
    EXPECT_FALSE(dbengine::AliasExists("kolbex")) << "alias names compare with letter case";
    EXPECT_EQ(dbengine::AliasConfig::params("Kolbex"), QStringList{"PATH=/data/DB_SAMPLE"});
    EXPECT_EQ(dbengine::AliasConfig::driver("Kolbex"), "PARADOX");

    dbengine::AliasConfig::setParams("Kolbex", {"PATH=/elsewhere"});
    EXPECT_EQ(dbengine::AliasConfig::directory("Kolbex"), "/elsewhere");
    EXPECT_EQ(dbengine::AliasConfig::driver("Kolbex"), "PARADOX");
    EXPECT_EQ(dbengine::AliasConfig::names(), QStringList{"Kolbex"});
}

TEST_F(ConfigDir, UnreadableConfigurationIsAnError)
{
    QDir().mkpath(dbengine::aliasConfigFile());  // a directory where the file should be
    EXPECT_THROW(dbengine::AliasConfig::names(), dbengine::ConfigError);
}

class SessionTest : public KbTest {};

TEST_F(SessionTest, PasswordComesBeforeTheFirstTable)
{
    auto &session = dbengine::Session::instance();
    session.close();
    EXPECT_FALSE(session.isOpen());
    session.addPassword({});
    EXPECT_THROW(session.openAlias("Kolbex"), kb::DbError);
    session.addPassword("wrong");
    EXPECT_THROW(session.openAlias("Kolbex"), kb::DbError);
    session.addPassword(dbengine::kTablePassword);
    session.openAlias("Kolbex");
    EXPECT_TRUE(session.isOpen());
    testing_kb::topic("Тема");
    session.reopen();
    EXPECT_EQ(testing_kb::rows("SELECT TOPIC_NAME FROM TTOPIC"), QStringList{"Тема"});
}

TEST_F(SessionTest, DirectoryWithoutKnowledgeBaseIsNamedAndLeftAlone)
{
    auto &session = dbengine::Session::instance();
    const QString empty = dir_.path() + "/empty";
    QDir().mkpath(empty);
    for (const QString &where : {empty, dir_.path() + "/missing"}) {
        try {
            session.openDirectory(where);
            FAIL() << "opened " << where.toStdString();
        } catch (const kb::DbError &e) {
            EXPECT_TRUE(e.text().contains(where)) << e.text().toStdString();
        }
    }
    EXPECT_TRUE(QDir(empty).entryList(QDir::Files).isEmpty()) << "nothing is created";
    EXPECT_FALSE(QDir(dir_.path() + "/missing").exists());

    // A file that is not a knowledge base is refused the same way.
    writeAll(dbengine::databaseFile(empty), "not a database at all, just text");
    EXPECT_THROW(session.openDirectory(empty), kb::DbError);
}

TEST_F(SessionTest, CreatingOverAnExistingBaseKeepsItsRows)
{
    testing_kb::topic("Тема");
    dbengine::createKnowledgeBase(kbDir());
    EXPECT_EQ(testing_kb::rows("SELECT COUNT(*) FROM TTOPIC"), QStringList{"1"});
}

TEST_F(SessionTest, SecondConnectionSeesTheSameBase)
{
    testing_kb::topic("Тема");
    {
        QSqlDatabase other = dbengine::openAlias("Kolbex", "second");
        kb::Query q("SELECT TOPIC_NAME FROM TTOPIC", other);
        q.open();
        EXPECT_EQ(q.asString("topic_name"), "Тема");
    }
    QSqlDatabase::removeDatabase("second");
}
