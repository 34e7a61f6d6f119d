#include "ui/Prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace ui {

namespace {
Prompts *&installed()
{
    static Prompts *p = nullptr;
    return p;
}

QString title() { return QApplication::applicationName(); }
}  // namespace

Prompts &Prompts::instance()
{
    static DialogPrompts dialogs;
    return installed() ? *installed() : dialogs;
}

void Prompts::install(Prompts *prompts) { installed() = prompts; }

bool DialogPrompts::ask(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, title(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void DialogPrompts::info(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, title(), text);
}

void DialogPrompts::warning(QWidget *parent, const QString &text)
{
    QMessageBox::warning(parent, title(), text);
}

void DialogPrompts::error(QWidget *parent, const QString &text)
{
    QMessageBox::critical(parent, title(), text);
}

QString DialogPrompts::openFile(QWidget *parent, const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString DialogPrompts::saveFile(QWidget *parent, const QString &caption, const QString &filter,
                                const QString &defaultSuffix)
{
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}

QString DialogPrompts::chooseDirectory(QWidget *parent, const QString &caption, const QString &start)
{
    return QFileDialog::getExistingDirectory(parent, caption, start);
}

bool ScriptedPrompts::ask(QWidget *, const QString &text)
{
    said.append({Kind::Ask, text});
    if (answers.empty())
        return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedPrompts::nextFile()
{
    if (files.empty())
        return {};
    QString f = files.front();
    files.pop_front();
    return f;
}

QStringList ScriptedPrompts::texts() const
{
    QStringList out;
    for (const Said &s : said)
        out << s.text;
    return out;
}

QStringList ScriptedPrompts::texts(Kind kind) const
{
    QStringList out;
    for (const Said &s : said)
        if (s.kind == kind)
            out << s.text;
    return out;
}

}  // namespace ui
