#pragma once
// The one way the program asks the user and tells them something. Windows never call
// QMessageBox or the file dialogs directly: they go through Prompts::instance(), so that
// tests can install ScriptedPrompts, script the answers and read what was said.

#include <QString>
#include <QStringList>

#include <deque>

class QWidget;

namespace ui {

class Prompts {
public:
    virtual ~Prompts() = default;

    // Yes/no question (question icon). True for Yes.
    virtual bool ask(QWidget *parent, const QString &text) = 0;
    virtual void info(QWidget *parent, const QString &text) = 0;
    virtual void warning(QWidget *parent, const QString &text) = 0;
    virtual void error(QWidget *parent, const QString &text) = 0;

    // File dialogs; an empty result means the user cancelled.
    virtual QString openFile(QWidget *parent, const QString &caption, const QString &filter) = 0;
    virtual QString saveFile(QWidget *parent, const QString &caption, const QString &filter,
                             const QString &defaultSuffix) = 0;
    virtual QString chooseDirectory(QWidget *parent, const QString &caption,
                                    const QString &start) = 0;

    // The service in use (message boxes unless a test installed another).
    static Prompts &instance();
    // Installs a service (not owned); nullptr goes back to message boxes.
    static void install(Prompts *prompts);
};

// Message boxes and the toolkit's file dialogs.
class DialogPrompts : public Prompts {
public:
    bool ask(QWidget *parent, const QString &text) override;
    void info(QWidget *parent, const QString &text) override;
    void warning(QWidget *parent, const QString &text) override;
    void error(QWidget *parent, const QString &text) override;
    QString openFile(QWidget *parent, const QString &caption, const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &caption, const QString &filter,
                     const QString &defaultSuffix) override;
    QString chooseDirectory(QWidget *parent, const QString &caption, const QString &start) override;
};

// For tests: answers come from queues, everything said is recorded in order. A question
// with no scripted answer is answered No; a file dialog with none is cancelled.
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Ask, Info, Warning, Error };
    struct Said {
        Kind kind;
        QString text;
    };

    ScriptedPrompts() { install(this); }
    ~ScriptedPrompts() override { install(nullptr); }

    std::deque<bool> answers;
    std::deque<QString> files;  // for openFile, saveFile and chooseDirectory, in order
    QList<Said> said;

    // Texts said, of one kind or of all.
    QStringList texts() const;
    QStringList texts(Kind kind) const;
    QString last() const { return said.isEmpty() ? QString() : said.last().text; }

    bool ask(QWidget *, const QString &text) override;
    void info(QWidget *, const QString &text) override { said.append({Kind::Info, text}); }
    void warning(QWidget *, const QString &text) override { said.append({Kind::Warning, text}); }
    void error(QWidget *, const QString &text) override { said.append({Kind::Error, text}); }
    QString openFile(QWidget *, const QString &, const QString &) override { return nextFile(); }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        return nextFile();
    }
    QString chooseDirectory(QWidget *, const QString &, const QString &) override { return nextFile(); }

private:
    QString nextFile();
};

}  // namespace ui
