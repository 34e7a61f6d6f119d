// generate: a synthetic knowledge base of a given size, the same for the same seed, for
// benchmarks of the network, the consultation and the tests.
//
// Shape: one topic, one task with a goal entity. A quarter of the entities are concluded by
// rules and stand on a few layers below the goal; the rest are leaves, asked of the user, each
// with a question and two to four values. The rules of an entity on one layer test entities of
// the next layer and leaves, so every rule can be reached from the goal; a few conditions point
// back up to an entity of the same or a higher layer and close cycles.

#include "cli/Cli.h"

#include "dbengine/Session.h"
#include "kb/Sql.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// splitmix64: small, fast, and the same sequence on every platform and library, unlike the
// standard distributions.
class Random {
public:
    explicit Random(quint64 seed) : state_(seed) {}
    quint64 next()
    {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (n > 0).
    int below(int n) { return int(next() % quint64(n)); }
    // lo .. hi inclusive.
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    // True with probability percent/100.
    bool chance(int percent) { return below(100) < percent; }

private:
    quint64 state_;
};

// The key the database gave the row just inserted.
int lastId() { return int(kb::scalarInteger(QStringLiteral("SELECT last_insert_rowid()"))); }

struct Entity {
    int id = 0;
    int layer = 0;  // 0 the goal; concluded entities 0..layers; leaves -1
    QList<int> values;
};

struct Plan {
    int rules, entities, conditions;
    quint64 seed;
};

void generate(const Plan &p)
{
    Random rnd(p.seed);
    kb::Transaction tx;

    kb::Query topic(QStringLiteral("INSERT INTO TTOPIC (TOPIC_NAME, TOPIC_TEXT, TOPIC_KEY) VALUES (:P0, :P1, 1)"));
    topic.setString(QStringLiteral("P0"), QStringLiteral("Синтетическая тема"));
    topic.setMemo(QStringLiteral("P1"), QStringLiteral("Создана командой zelmora-cli generate"));
    topic.exec();
    const int topicId = lastId();

    kb::Query task(QStringLiteral("INSERT INTO TTASK (TASK_NAME, GOALFACT_ID, TRUSTLIMIT, DESCRIPTION, TOPIC_ID) "
                                  "VALUES (:P0, 1, 50, :P1, :P2)"));
    task.setString(QStringLiteral("P0"), QStringLiteral("Синтетическая задача"));
    task.setMemo(QStringLiteral("P1"), QStringLiteral("%1 правил, %2 сущностей, %3 условий, зерно %4")
                                           .arg(p.rules).arg(p.entities).arg(p.conditions).arg(p.seed));
    task.setFloat(QStringLiteral("P2"), topicId);
    task.exec();
    const int taskId = lastId();

    const int subtaskCount = std::clamp(p.rules / 1000 + 2, 2, 12);
    QList<int> subtasks;
    kb::Query subtask(QStringLiteral("INSERT INTO TSUBTASK (SUBTASK_NAME, COMMENTS, TURN, TASK_ID) VALUES (:P0, '', :P1, :P2)"));
    for (int i = 1; i <= subtaskCount; ++i) {
        subtask.setString(QStringLiteral("P0"), QStringLiteral("Подзадача %1").arg(i));
        subtask.setFloat(QStringLiteral("P1"), i);
        subtask.setFloat(QStringLiteral("P2"), taskId);
        subtask.exec();
        subtasks << lastId();
    }

    // Entities: the goal, the concluded ones on their layers, the leaves.
    const int concluded = p.entities <= 1 ? p.entities : std::max(1, p.entities / 4);
    const int layers = std::clamp(concluded - 1, 0, 4);  // layers below the goal
    QList<Entity> entities;
    kb::Query fact(QStringLiteral(
        "INSERT INTO TFACT (FACT_NAME, FACT_SHORT, FACT_QUESTION, TASK_ID, GOAL, COMPLEX, NON_DET, ALIAS, MULTY, "
        "FACT_TEXT, NORMAL, TYPE) VALUES (:P0, :P1, :P2, :P3, :P4, :P5, 0, '', 0, :P6, 0, 'C')"));
    kb::Query value(QStringLiteral("INSERT INTO TVALUE (FACT_ID, VALUE_MEAN, VALUE_TEXT) VALUES (:P0, :P1, '')"));
    for (int i = 0; i < p.entities; ++i) {
        Entity e;
        const bool isLeaf = i >= concluded;
        e.layer = isLeaf ? -1 : (i == 0 ? 0 : 1 + (i - 1) % std::max(1, layers));
        const QString name = i == 0 ? QStringLiteral("Цель") : QStringLiteral("Сущность %1").arg(i);
        fact.setString(QStringLiteral("P0"), name);
        fact.setString(QStringLiteral("P1"), i == 0 ? QStringLiteral("Цель") : QStringLiteral("С%1").arg(i));
        fact.setString(QStringLiteral("P2"), QStringLiteral("Каково значение «%1»?").arg(name));
        fact.setFloat(QStringLiteral("P3"), taskId);
        fact.setFloat(QStringLiteral("P4"), i == 0 ? 1 : 0);
        fact.setFloat(QStringLiteral("P5"), rnd.below(5));
        fact.setMemo(QStringLiteral("P6"), isLeaf ? QStringLiteral("Спрашивается у пользователя")
                                                  : QStringLiteral("Выводится правилами"));
        fact.exec();
        e.id = lastId();
        const int valueCount = rnd.between(2, 4);
        for (int v = 1; v <= valueCount; ++v) {
            value.setFloat(QStringLiteral("P0"), e.id);
            value.setString(QStringLiteral("P1"), QStringLiteral("вариант %1").arg(v));
            value.exec();
            e.values << lastId();
        }
        entities << e;
    }
    if (entities.isEmpty())
        return tx.commit();

    // Rules: every concluded entity gets one, the rest go anywhere, the goal a little more often.
    QList<int> ruleOwner;  // index into entities of the concluded entity of each rule
    for (int r = 0; r < p.rules; ++r) {
        if (r < concluded)
            ruleOwner << r;
        else
            ruleOwner << (rnd.chance(10) ? 0 : rnd.below(concluded));
    }
    // Stable, so that equal layers keep their order with every standard library.
    std::stable_sort(ruleOwner.begin(), ruleOwner.end(),
                     [&](int a, int b) { return entities[a].layer < entities[b].layer; });

    // Conditions per rule: one each while there are enough, the rest spread at random.
    QList<QList<int>> ruleConditions(p.rules);  // entity indexes
    QList<int> byLayer[8];
    QList<int> leaves;
    for (int i = 0; i < entities.size(); ++i) {
        if (entities[i].layer < 0)
            leaves << i;
        else
            byLayer[entities[i].layer] << i;
    }
    QList<int> rulesOfLayer[8];
    for (int r = 0; r < p.rules; ++r)
        rulesOfLayer[entities[ruleOwner[r]].layer] << r;

    int left = p.conditions;
    auto addCondition = [&](int r, int e) {
        ruleConditions[r] << e;
        --left;
    };
    // Reach: every concluded entity of a layer is tested by some rule of the layer above.
    for (int layer = 1; layer <= layers && left > 0; ++layer) {
        const QList<int> &above = rulesOfLayer[layer - 1];
        for (int e : byLayer[layer]) {
            if (left <= 0 || above.isEmpty())
                break;
            addCondition(above[rnd.below(int(above.size()))], e);
        }
    }
    auto pickFor = [&](int r) {
        const int layer = entities[ruleOwner[r]].layer;
        if (rnd.chance(3) || (leaves.isEmpty() && byLayer[layer + 1].isEmpty())) {
            // Back up towards the goal: a cycle.
            const int up = rnd.below(layer + 1);
            if (!byLayer[up].isEmpty())
                return byLayer[up][rnd.below(int(byLayer[up].size()))];
        }
        if (layer < layers && !byLayer[layer + 1].isEmpty() && (leaves.isEmpty() || rnd.chance(40)))
            return byLayer[layer + 1][rnd.below(int(byLayer[layer + 1].size()))];
        if (!leaves.isEmpty())
            return leaves[rnd.below(int(leaves.size()))];
        return rnd.below(int(entities.size()));
    };
    for (int r = 0; r < p.rules && left > 0; ++r)
        if (ruleConditions[r].isEmpty())
            addCondition(r, pickFor(r));
    while (left > 0 && p.rules > 0) {
        const int r = rnd.below(p.rules);
        int e = pickFor(r);
        // A rule tests an entity once where it can.
        for (int tries = 0; tries < 4 && ruleConditions[r].contains(e); ++tries)
            e = pickFor(r);
        addCondition(r, e);
    }

    kb::Query rule(QStringLiteral("INSERT INTO TRULE (FACT_ID, VALUE_ID, TASK_ID, TRUST, SUBTASK_ID, RULE_SOURCE, ACTION) "
                                  "VALUES (:P0, :P1, :P2, :P3, :P4, :P5, '')"));
    kb::Query cond(QStringLiteral("INSERT INTO TCONDITION (FACT_ID, VALUE_ID, BOOL, RULE_ID, META_ID, META, NOTEQUAL, ACTION) "
                                  "VALUES (:P0, :P1, 'F', :P2, -1, 'F', :P3, '')"));
    for (int r = 0; r < p.rules; ++r) {
        const Entity &owner = entities[ruleOwner[r]];
        rule.setFloat(QStringLiteral("P0"), owner.id);
        rule.setFloat(QStringLiteral("P1"), owner.values[rnd.below(int(owner.values.size()))]);
        rule.setFloat(QStringLiteral("P2"), taskId);
        rule.setFloat(QStringLiteral("P3"), rnd.between(50, 100));
        rule.setFloat(QStringLiteral("P4"), subtasks[rnd.below(int(subtasks.size()))]);
        rule.setString(QStringLiteral("P5"), QStringLiteral("generate"));
        rule.exec();
        const int ruleId = lastId();
        for (int e : ruleConditions[r]) {
            const Entity &tested = entities[e];
            cond.setFloat(QStringLiteral("P0"), tested.id);
            cond.setFloat(QStringLiteral("P1"), tested.values[rnd.below(int(tested.values.size()))]);
            cond.setFloat(QStringLiteral("P2"), ruleId);
            cond.setFloat(QStringLiteral("P3"), rnd.chance(85) ? 2 : 5);  // "Принимает" / "Не принимает"
            cond.exec();
        }
    }
    tx.commit();
}

int generateCommand(cli::Context &c)
{
    const QString out = c.option(QStringLiteral("--out"));
    if (out.isEmpty())
        throw cli::UsageError(QStringLiteral("option --out is required"));
    Plan p;
    p.rules = c.requiredIntOption(QStringLiteral("--rules"));
    p.entities = c.requiredIntOption(QStringLiteral("--entities"));
    p.conditions = c.requiredIntOption(QStringLiteral("--conditions"));
    p.seed = quint64(c.intOption(QStringLiteral("--seed"), 1));
    if (p.rules < 0 || p.entities < 0 || p.conditions < 0)
        throw cli::UsageError(QStringLiteral("the sizes must not be negative"));
    if (p.rules > 0 && p.entities == 0)
        throw cli::UsageError(QStringLiteral("rules need at least one entity"));
    if (p.conditions > 0 && p.rules == 0)
        throw cli::UsageError(QStringLiteral("conditions need at least one rule"));
    // Never add to or mix with a knowledge base that is already there.
    if (QFileInfo::exists(dbengine::databaseFile(out)))
        throw cli::UsageError(QStringLiteral("%1 already holds a knowledge base").arg(out), 1);
    dbengine::createKnowledgeBase(out);
    c.dbDir = out;
    c.openKnowledgeBase();
    generate(p);
    c.out << "generated " << p.rules << " rules, " << p.entities << " entities, " << p.conditions
          << " conditions in " << QDir(out).absolutePath() << "\n";
    return 0;
}

ZELMORA_CLI_COMMAND("generate",
                    "generate --out DIR --rules R --entities E --conditions C [--seed S]   a synthetic knowledge base",
                    generateCommand);

}  // namespace
