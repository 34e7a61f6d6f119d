#include "editors/Topic.h"

#include "editors/EdTopic.h"
#include "ui/DetailPane.h"
#include "ui/Modal.h"

namespace {
const QString kTopicSelect = QStringLiteral(
    "SELECT  TOPIC_NAME ONAME, TOPIC_TEXT OTEXT,  TOPIC_ID OID, TOPIC_KEY OKEY FROM TTOPIC  WHERE TOPIC_ID>0 ORDER BY ");
}

TfTopic::TfTopic(QWidget *parent) : ui::ListForm(parent, QStringLiteral("Topic"))
{
    setObjectName(QStringLiteral("fTopic"));
    setWindowTitle(QStringLiteral("Темы"));
    resize(614, 348);
    setMinimumSize(600, 300);
    setColumns({{QStringLiteral("ONAME"), QStringLiteral("Тема"), 392}}, true);
    setStatements(kTopicSelect + QStringLiteral("TOPIC_NAME"), kTopicSelect);
    setMenuCaptions(QStringLiteral("Добавить тему"), QStringLiteral("Удалить тему"),
                    QStringLiteral("Изменить тему"));
    setRepositioning(ui::Reposition::Remembered, ui::Reposition::Remembered, ui::Reposition::First);
    addDependencyCheck({QStringLiteral("SELECT TASK_NAME FROM TTASK WHERE TOPIC_ID="),
                        QStringLiteral("Не удалены задачи этой темы : "), ui::ListFormat::QuotedLines});
    setDeleteStatement(QStringLiteral("DELETE FROM TTOPIC WHERE TOPIC_ID="));
}

void TfTopic::editRecord(int mode, qint64 id) { editors::EditTopic(this, mode, id); }

void TfTopic::RText()
{
    ui::DetailPane *p = pane();
    p->clearLines();
    p->pair(QStringLiteral("Тема :"), grid()->text(QStringLiteral("ONAME")));
    p->pair(QStringLiteral("Описание темы : "), ui::memoText(grid()->value(QStringLiteral("OTEXT"))));
}

namespace editors {

void ShowTopics(QWidget *parent)
{
    TfTopic form(parent);
    ui::execModal(&form);
}

}  // namespace editors
