// The inference engine: expressions, certainty arithmetic, the course of a consultation over
// subtasks and metarules, the rows it leaves in the sitting tables, step back, restarts, and
// the engine library's C interface.

#include "TestKb.h"

#include "consultation/Consultation.h"

#include "dbengine/Aliases.h"
#include "engine/Engine.h"
#include "engine/Expression.h"
#include "engine/quorbbde.h"
#include "kb/Sql.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QMap>
#include <QRegularExpression>

#include <functional>

using namespace testing_kb;

// ---------------------------------------------------------------------------------------
// Expressions

TEST(EngineExpression, EvaluatesNumbersOperatorsFunctionsAndReferences)
{
    const QMap<QString, double> known{{"Возраст", 40}, {"Рост", 1.8}, {"Вес", 81}};
    auto resolve = [&](const QString &name) -> double {
        if (!known.contains(name))
            throw engine::EvalError("нет " + name);
        return known[name];
    };
    struct Case {
        const char *text;
        double value;
    } cases[] = {
        {"42", 42},
        {"38,5", 38.5},
        {"38.5", 38.5},
        {" 1 + 2 * 3 ", 7},
        {"(1 + 2) * 3", 9},
        {"10 - 4 - 3", 3},
        {"12 / 4 / 3", 1},
        {"-5 + 2", -3},
        {"-(2 + 3) * -2", 10},
        {"--4", 4},
        {"[Возраст] / 2", 20},
        {"[ Возраст ]+1", 41},
        {"[Вес] / ([Рост] * [Рост])", 81 / (1.8 * 1.8)},
        {"СЛОЖЕНИЕ(1; 2)", 3},
        {"ВЫЧИТАНИЕ(10; 2,5)", 7.5},
        {"УМНОЖЕНИЕ([Возраст]; 0,5)", 20},
        {"ДЕЛЕНИЕ(СЛОЖЕНИЕ(1;2); 4)", 0.75},
        {"сложение(1; 1)", 2},
        {"2 * УМНОЖЕНИЕ(-1; 3) + 1", -5},
    };
    for (const Case &c : cases) {
        const engine::Expression e = engine::Expression::parse(QString::fromUtf8(c.text));
        ASSERT_TRUE(e.ok()) << c.text << ": " << e.errorText().toStdString();
        EXPECT_DOUBLE_EQ(e.evaluate(resolve), c.value) << c.text;
    }
    EXPECT_EQ(engine::Expression::parse("[Вес] + [Рост] * [Вес]").references(), QStringList({"Вес", "Рост"}));
}

TEST(EngineExpression, ReportsSyntaxFaultsWithPosition)
{
    struct Case {
        const char *text;
        int position;
        const char *inMessage;
    } cases[] = {
        {"", 1, "пусто"},
        {"   ", 1, "пусто"},
        {"2 +", 4, "обрывается"},
        {"(1 + 2", 7, "закрывающей скобки"},
        {"1 + 2)", 6, "лишняя закрывающая"},
        {"1 2", 3, "знак действия"},
        {"[Возраст", 1, "не закрыта"},
        {"[]", 1, "пустая ссылка"},
        {"КОРЕНЬ(4)", 1, "неизвестная функция"},
        {"СЛОЖЕНИЕ(1)", 11, "два аргумента"},
        {"СЛОЖЕНИЕ(1; 2; 3)", 14, "только два"},
        {"СЛОЖЕНИЕ 1; 2", 10, "ожидалась «(»"},
        {"1;2", 2, "«;»"},
        {"3,", 3, "нет цифр"},
        {"1 # 2", 3, "знак действия"},
        {"Возраст + 1", 1, "неизвестная функция"},
    };
    for (const Case &c : cases) {
        const engine::Expression e = engine::Expression::parse(QString::fromUtf8(c.text));
        EXPECT_FALSE(e.ok()) << c.text;
        EXPECT_EQ(e.errorPosition(), c.position) << c.text << ": " << e.errorText().toStdString();
        EXPECT_TRUE(e.error().contains(QString::fromUtf8(c.inMessage))) << c.text << ": " << e.errorText().toStdString();
        EXPECT_THROW(e.evaluate({}), engine::EvalError) << c.text;
    }
}

TEST(EngineExpression, EvaluationFaults)
{
    auto resolve = [](const QString &name) -> double {
        if (name == "Ноль")
            return 0;
        throw engine::EvalError("ссылка [" + name + "] неизвестна");
    };
    for (const char *text : {"1 / 0", "1 / [Ноль]", "ДЕЛЕНИЕ(1; 2 - 2)", "[Нет] + 1"}) {
        const engine::Expression e = engine::Expression::parse(QString::fromUtf8(text));
        ASSERT_TRUE(e.ok()) << text;
        EXPECT_THROW(e.evaluate(resolve), engine::EvalError) << text;
    }
    try {
        engine::Expression::parse("1 / 0").evaluate(resolve);
    } catch (const engine::EvalError &e) {
        EXPECT_EQ(e.message(), "деление на ноль");
    }
}

TEST(EngineExpression, DeepOrLongTextsAreRefusedNotFatal)
{
    const engine::Expression deep = engine::Expression::parse(QString(1000, '(') + "1" + QString(1000, ')'));
    EXPECT_FALSE(deep.ok());
    EXPECT_TRUE(deep.error().contains("вложенность")) << deep.errorText().toStdString();
    EXPECT_FALSE(engine::Expression::parse(QString(300, '-') + "1").ok());
    EXPECT_TRUE(engine::Expression::parse(QString(150, '(') + "1" + QString(150, ')')).ok());
    const engine::Expression longSum = engine::Expression::parse("1" + QString("+1").repeated(5000));
    EXPECT_FALSE(longSum.ok());
    EXPECT_TRUE(longSum.error().contains("длиннее")) << longSum.errorText().toStdString();
    const engine::Expression sum = engine::Expression::parse("1" + QString("+1").repeated(1500));
    ASSERT_TRUE(sum.ok());
    EXPECT_EQ(sum.evaluate({}), 1501);
}

TEST(EngineExpression, CheckForEditors)
{
    const QStringList numeric{"Возраст", "Вес"};
    int pos = -1;
    EXPECT_EQ(engine::checkExpression("[возраст] * 2", &numeric, &pos), "");
    EXPECT_EQ(pos, 0);
    EXPECT_TRUE(engine::checkExpression("[Рост] * 2", &numeric, &pos).contains("[Рост]"));
    EXPECT_EQ(pos, 0);
    EXPECT_TRUE(engine::checkExpression("2 *", &numeric, &pos).startsWith("позиция 4"));
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(engine::checkExpression("[Что угодно] + 1"), "");
    EXPECT_EQ(engine::functionNames(), QStringList({"СЛОЖЕНИЕ", "ВЫЧИТАНИЕ", "УМНОЖЕНИЕ", "ДЕЛЕНИЕ"}));
}

TEST(EngineExpression, DecimalAnswers)
{
    double v = 0;
    EXPECT_TRUE(engine::parseDecimal("38,5", &v));
    EXPECT_DOUBLE_EQ(v, 38.5);
    EXPECT_TRUE(engine::parseDecimal(" -2.25 ", &v));
    EXPECT_DOUBLE_EQ(v, -2.25);
    for (const char *bad : {"", "abc", "1,2,3", "3,", "1e5", "12 3", "-"})
        EXPECT_FALSE(engine::parseDecimal(QString::fromUtf8(bad), &v)) << bad;
}

// ---------------------------------------------------------------------------------------
// Knowledge bases built by name, consultations run by the engine core.

namespace {

// Builds a task by names: entities by short name, values by "short:mean", rules by label.
class Builder {
public:
    Builder()
    {
        topic_ = topic("Тема");
        task_ = task(topic_, "Задача", 30);
    }
    int taskId() const { return task_; }
    int goalId() const { return goal_; }

    int sub(const QString &name, int turn)
    {
        const int id = subtask(task_, name, turn);
        subtasks_[name] = id;
        return id;
    }
    // values: the symbolic entity's values ("" for a numeric entity).
    void entity(const QString &shortName, const QStringList &values, bool isGoal = false, int multy = 0,
                int normal = 0, int nonDet = 0)
    {
        const int id = fact(task_, "Сущность " + shortName, shortName, values.isEmpty() ? "N" : "C",
                            isGoal ? 1 : 0, multy, normal, nonDet, "Каково значение " + shortName + "?");
        facts_[shortName] = id;
        shortById_[id] = shortName;
        if (isGoal)
            goal_ = id;
        for (const QString &v : values) {
            const int vid = value(id, v);
            values_[shortName + ":" + v] = vid;
            meanById_[vid] = v;
        }
    }
    // A symbolic conclusion "short = mean", or a numeric one with an expression ("short := expr").
    void rule(const QString &label, const QString &subtaskName, const QString &conclusion, int trust)
    {
        int ruleId = 0;
        if (conclusion.contains(":=")) {
            const QString f = conclusion.section(":=", 0, 0).trimmed();
            ruleId = testing_kb::rule(task_, subtasks_.value(subtaskName), facts_.value(f), -1, trust,
                                      conclusion.section(":=", 1).trimmed());
        } else {
            const QString f = conclusion.section('=', 0, 0).trimmed();
            const QString v = conclusion.section('=', 1).trimmed();
            ruleId = testing_kb::rule(task_, subtasks_.value(subtaskName), facts_.value(f), values_.value(f + ":" + v),
                                      trust, " ");
        }
        rules_[label] = ruleId;
        labelById_[ruleId] = label;
    }
    // A condition "short rel value": rel one of = (2), != (5), > (1), >= (3), < (4), <= (6),
    // ? (0), or a digit for any code. A numeric entity's value is an expression.
    void cond(const QString &owner, const QString &text)
    {
        static const QRegularExpression re("^(\\S+)\\s+(=|!=|>=|<=|>|<|\\?|#\\d+)\\s*(.*)$");
        const auto m = re.match(text);
        ASSERT_TRUE(m.hasMatch()) << text.toStdString();
        const QString f = m.captured(1);
        const QString op = m.captured(2);
        const QString v = m.captured(3).trimmed();
        const QMap<QString, int> codes{{"=", 2}, {"!=", 5}, {">", 1}, {">=", 3}, {"<", 4}, {"<=", 6}, {"?", 0}};
        const int code = op.startsWith('#') ? op.mid(1).toInt() : codes[op];
        const bool numeric = !values_.contains(f + ":" + v);
        const int valueId = numeric ? -1 : values_[f + ":" + v];
        if (metas_.contains(owner))
            condition(-1, facts_.value(f), valueId, code, numeric ? v : "", metas_[owner]);
        else
            condition(rules_.value(owner), facts_.value(f), valueId, code, numeric ? v : "");
    }
    void metarule(const QString &label, const QString &from, const QString &to)
    {
        metas_[label] = meta(task_, subtasks_.value(from), subtasks_.value(to));
        labelById_[-metas_[label]] = label;
    }

    int factId(const QString &shortName) const { return facts_.value(shortName); }
    int valueId(const QString &shortMean) const { return values_.value(shortMean); }
    int ruleId(const QString &label) const { return rules_.value(label); }
    QString shortOf(int factId) const { return shortById_.value(factId); }
    QString label(int ruleId) const { return labelById_.value(ruleId, QString::number(ruleId)); }
    QString mean(int valueId) const { return meanById_.value(valueId, QString::number(valueId)); }

private:
    int topic_ = 0, task_ = 0, goal_ = 0;
    QMap<QString, int> subtasks_, facts_, values_, rules_, metas_;
    QMap<int, QString> shortById_, labelById_, meanById_;
};

QString cfText(double v)
{
    QString s = QString::number(v, 'f', 2);
    while (s.endsWith('0'))
        s.chop(1);
    if (s.endsWith('.'))
        s.chop(1);
    return s;
}

// The sitting's rows in a form that names things: TRFACT "short=value cf [source]",
// TDIALOG "label+" (fired) or "label-" (rejected), TNextver the short names asked.
struct Rows {
    QStringList facts, dialog, steps;
    bool operator==(const Rows &o) const { return facts == o.facts && dialog == o.dialog && steps == o.steps; }
};

Rows readRows(const Builder &b, int sitting)
{
    Rows r;
    const QString s = QString::number(sitting);
    for (const QString &line : rows("SELECT FACT_ID, VALUE_ID, VALUE_NUMBER, TRUST, COMMENT FROM TRFACT WHERE SITTING_ID=" +
                                    s + " ORDER BY trfact_id")) {
        const QStringList f = line.split('\t');
        const int valueId = f[1].toInt();
        QString source = f[4];
        if (source == "ответ пользователя") {
            source = "ответ";
        } else {
            QStringList labels;
            static const QRegularExpression num("\\d+");
            for (auto it = num.globalMatch(source); it.hasNext();)
                labels << b.label(it.next().captured().toInt());
            source = labels.join(',');
        }
        r.facts << QString("%1=%2 %3 [%4]")
                       .arg(b.shortOf(f[0].toInt()),
                            valueId == -1 ? QString::number(f[2].toDouble(), 'g', 12) : b.mean(valueId),
                            cfText(f[3].toDouble()), source);
    }
    for (const QString &line : rows("SELECT RULE_ID, LRES, LOUT FROM TDIALOG WHERE SITTING_ID=" + s + " ORDER BY rowid")) {
        const QStringList f = line.split('\t');
        const bool fired = f[1] == "1" && f[2] == "F";
        EXPECT_TRUE(fired || (f[1] == "0" && f[2] == "T")) << line.toStdString();
        r.dialog << b.label(f[0].toInt()) + (fired ? "+" : "-");
    }
    for (const QString &line : rows("SELECT NVER, OBJ_ID FROM TNextver WHERE SITTING_ID=" + s + " ORDER BY NVER")) {
        const QStringList f = line.split('\t');
        EXPECT_EQ(f[0].toInt(), r.steps.size() + 1);
        r.steps << b.shortOf(f[1].toInt());
    }
    return r;
}

void insertAnswer(int sitting, int fact, int valueId, int trust, double number)
{
    kb::Query q("INSERT INTO questions (SITTING_ID, FACT_ID, value_ans, TRUST, nnum) VALUES (:P0, :P1, :P2, :P3, :P4)");
    q.setFloat("P0", sitting);
    q.setFloat("P1", fact);
    q.setFloat("P2", valueId);
    q.setFloat("P3", trust);
    q.setFloat("P4", number);
    q.exec();
}

// Answers as "short=mean", "short=38,5" or "short=mean;75".
struct Consultation {
    int sitting = 0;
    QStringList asked;
    QStringList stepTexts;  // as the dialogue keeps them: "" first, then each answer's step
    engine::Engine::Step last;
};

// Runs a consultation with the core engine the way the dialogue does.
Consultation consult(engine::Engine &eng, const Builder &b, const QStringList &answers, int maxAnswers = 1000)
{
    QMap<QString, QString> byShort;
    for (const QString &a : answers)
        byShort[a.section('=', 0, 0).trimmed()] = a.section('=', 1).trimmed();
    Consultation c;
    eng.cleanTable();
    c.sitting = eng.initBase(b.taskId(), b.goalId());
    c.last = eng.dial(c.sitting);
    c.stepTexts << "";
    while (c.last.nextFact && c.asked.size() < maxAnswers) {
        const QString shortName = b.shortOf(c.last.nextFact);
        c.asked << shortName;
        if (!byShort.contains(shortName))
            break;
        QString answer = byShort[shortName];
        int trust = 100;
        if (answer.contains(';')) {
            trust = answer.section(';', 1).toInt();
            answer = answer.section(';', 0, 0);
        }
        const int valueId = b.valueId(shortName + ":" + answer);
        double number = 0;
        if (!valueId) {
            EXPECT_TRUE(engine::parseDecimal(answer, &number)) << answer.toStdString();
        }
        insertAnswer(c.sitting, c.last.nextFact, valueId ? valueId : -1, trust, number);
        c.last = eng.dial(c.sitting);
        c.stepTexts << c.last.stepText;
    }
    return c;
}

struct EngineCase {
    const char *name;
    std::function<void(Builder &)> build;
    QStringList answers;
    QStringList asked;   // the questions in the order asked
    QStringList facts;   // TRFACT rows
    QStringList dialog;  // TDIALOG rows
};

class EngineTest : public KbTest {};

}  // namespace

TEST_F(EngineTest, RulesOfInference)
{
    const EngineCase cases[] = {
        {"a rule without conditions fires with its own certainty",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {"да", "нет"}, true);
             b.rule("r1", "S", "Г = да", 70);
         },
         {}, {}, {"Г=да 70 [r1]"}, {"r1+"}},

        {"premise is the minimum of the conditions; conclusion CF = TRUST x premise / 100",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {"да", "нет"}, true);
             b.entity("А", {"a1", "a2"}, false, 0, 0, 1);
             b.entity("Б", {"b1", "b2"}, false, 0, 0, 1);
             b.rule("r1", "S", "Г = да", 80);
             b.cond("r1", "А = a1");
             b.cond("r1", "Б = b2");
         },
         {"А=a1;75", "Б=b2;50"}, {"А", "Б"},
         {"А=a1 75 [ответ]", "Б=b2 50 [ответ]", "Г=да 40 [r1]"}, {"r1+"}},

        {"two rules for the same value combine as a + b - ab/100, in any order",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {"да", "нет"}, true, 1);
             b.rule("r1", "S", "Г = да", 80);
             b.rule("r2", "S", "Г = нет", 30);
             b.rule("r3", "S", "Г = да", 60);
             b.rule("r4", "S", "Г = да", 50);
         },
         {}, {}, {"Г=да 96 [r1,r3,r4]", "Г=нет 30 [r2]"}, {"r1+", "r2+", "r3+", "r4+"}},

        {"below 20 a condition fails and later conditions are not asked; exactly 20 fires",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {"да", "нет", "может"}, true, 1);
             b.entity("П", {"p"});
             b.entity("Q", {"q"});
             b.entity("Л", {"l1", "l2"});
             b.entity("М", {"m1", "m2"});
             b.rule("p1", "S", "П = p", 19);  // CF 19: too weak to be used
             b.rule("q1", "S", "Q = q", 20);  // CF 20: just strong enough
             b.rule("r1", "S", "Г = да", 100);
             b.cond("r1", "П = p");
             b.cond("r1", "Л = l1");  // never asked: the first condition failed
             b.rule("r2", "S", "Г = нет", 50);
             b.cond("r2", "Q = q");
             b.cond("r2", "М = m1");
         },
         {"Л=l1", "М=m1"}, {"М"},
         {"П=p 19 [p1]", "Q=q 20 [q1]", "М=m1 100 [ответ]", "Г=нет 10 [r2]"},
         {"p1+", "r1-", "q1+", "r2+"}},

        {"«Не принимает» takes the highest CF among the other values",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {"g1", "g2", "g3", "g4"}, true, 1);
             b.entity("Х", {"x1", "x2", "x3"}, false, 1);
             b.entity("Н", {"n1", "n2"}, false, 1);
             b.rule("x1", "S", "Х = x1", 60);
             b.rule("x2", "S", "Х = x2", 30);
             b.rule("r1", "S", "Г = g1", 100);
             b.cond("r1", "Х != x1");  // x2: 30
             b.rule("r2", "S", "Г = g2", 100);
             b.cond("r2", "Х != x3");  // x1: 60
             b.rule("r3", "S", "Г = g3", 100);
             b.cond("r3", "Н != n1");  // no values at all: 0
             b.rule("r4", "S", "Г = g4", 100);
             b.cond("r4", "Х = x3");  // 0
             b.rule("n", "S", "Н = n2", 100);  // Н is concluded (so not asked) but gets nothing
             b.cond("n", "Х = x3");
         },
         {}, {},
         {"Х=x1 60 [x1]", "Х=x2 30 [x2]", "Г=g1 30 [r1]", "Г=g2 60 [r2]"},
         {"x1+", "x2+", "r1+", "r2+", "n-", "r3-", "r4-"}},

        {"numeric relations 1..6 compare the number with the highest CF; 0 is undefined",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {"gt", "eq", "ge", "lt", "ne", "le", "u", "gt2", "eq2"}, true, 1);
             b.entity("Т", {});
             b.rule("r1", "S", "Г = gt", 100);
             b.cond("r1", "Т > 37,5");
             b.rule("r2", "S", "Г = eq", 100);
             b.cond("r2", "Т = 38");
             b.rule("r3", "S", "Г = ge", 100);
             b.cond("r3", "Т >= 38");
             b.rule("r4", "S", "Г = lt", 100);
             b.cond("r4", "Т < 38");
             b.rule("r5", "S", "Г = ne", 100);
             b.cond("r5", "Т != 38");
             b.rule("r6", "S", "Г = le", 100);
             b.cond("r6", "Т <= 38.0");
             b.rule("r7", "S", "Г = u", 100);
             b.cond("r7", "Т ? 38");
             b.rule("r8", "S", "Г = gt2", 100);
             b.cond("r8", "Т > 38");
             b.rule("r9", "S", "Г = eq2", 100);
             b.cond("r9", "Т = 37 + 1");
         },
         {"Т=38;75"}, {"Т"},
         {"Т=38 75 [ответ]", "Г=gt 75 [r1]", "Г=eq 75 [r2]", "Г=ge 75 [r3]", "Г=le 75 [r6]", "Г=eq2 75 [r9]"},
         {"r1+", "r2+", "r3+", "r4-", "r5-", "r6+", "r7-", "r8-", "r9+"}},

        {"numeric conclusions: expressions with references and functions; equal numbers combine",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("ИМТ", {}, true, 1);
             b.entity("Вес", {});
             b.entity("Рост", {});
             b.rule("r1", "S", "ИМТ := ДЕЛЕНИЕ([Вес]; УМНОЖЕНИЕ([Рост]; [Рост]))", 80);
             b.rule("r2", "S", "ИМТ := [Вес] / ([Рост] * [Рост])", 50);
             b.rule("r3", "S", "ИМТ := -(СЛОЖЕНИЕ(1; 2,5) - ВЫЧИТАНИЕ(10; 0,5))", 40);
         },
         {"Вес=81", "Рост=1,8"}, {"Вес", "Рост"},
         {"Вес=81 100 [ответ]", "Рост=1.8 100 [ответ]", "ИМТ=25 90 [r1,r2]", "ИМТ=6 40 [r3]"},
         {"r1+", "r2+", "r3+"}},

        {"expression faults reject the rule or condition and the consultation goes on",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {}, true, 1);
             b.entity("Н", {});
             b.entity("Ц", {"c1", "c2"}, false, 1);
             b.rule("r1", "S", "Г := [Н] / 0", 100);
             b.rule("r2", "S", "Г := [Нет] + 1", 100);
             b.rule("r3", "S", "Г := 2 +", 100);
             b.rule("r4", "S", "Г := [Ц] + 1", 100);  // a symbolic entity in an expression
             b.rule("r5", "S", "Г := [Н] * 2", 100);
             b.rule("c1", "S", "Ц = c1", 100);
             b.cond("c1", "Н > [Н] / ([Н] - 5)");  // division by zero in a condition
             b.rule("c2", "S", "Ц = c2", 100);
             b.cond("c2", "Н > 2 *");
         },
         {"Н=5"}, {"Н"}, {"Н=5 100 [ответ]", "Г=10 100 [r5]"},
         {"r1-", "r2-", "r3-", "r4-", "r5+", "c1-", "c2-"}},

        {"a rule that looks at its own entity is tried after the others",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {"да", "нет"}, true);
             b.entity("Х", {"x1", "x2"}, false, 1);
             b.entity("Ч", {}, false, 1);
             b.rule("r1", "S", "Х = x2", 90);
             b.cond("r1", "Х = x1");
             b.rule("r2", "S", "Х = x1", 80);
             b.rule("r3", "S", "Ч := [Ч] + 1", 100);  // tried after r4: sees Ч = 5
             b.rule("r4", "S", "Ч := 5", 100);
             b.rule("g", "S", "Г = да", 100);
             b.cond("g", "Х = x2");
         },
         {}, {}, {"Х=x1 80 [r2]", "Х=x2 72 [r1]", "Г=да 72 [g]", "Ч=5 100 [r4]", "Ч=6 100 [r3]"},
         {"r2+", "r1+", "g+", "r4+", "r3+"}},

        {"entities that need each other do not loop",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {"да"}, true);
             b.entity("А", {"a"});
             b.entity("Б", {"b"});
             b.rule("ra", "S", "А = a", 100);
             b.cond("ra", "Б = b");
             b.rule("rb", "S", "Б = b", 100);
             b.cond("rb", "А = a");
             b.rule("g", "S", "Г = да", 100);
             b.cond("g", "А = a");
         },
         {}, {}, {}, {"rb-", "ra-", "g-"}},

        {"a single-valued entity stops at CF 100; a multi-valued one tries every rule",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {"да", "нет"}, true, 1);
             b.entity("О", {"o1", "o2"});
             b.entity("М", {"m1", "m2"}, false, 1);
             b.entity("Л", {"l"});
             b.rule("o1", "S", "О = o1", 100);
             b.rule("o2", "S", "О = o2", 100);
             b.cond("o2", "Л = l");  // never asked
             b.rule("m1", "S", "М = m1", 100);
             b.rule("m2", "S", "М = m2", 40);
             b.rule("g", "S", "Г = да", 100);
             b.cond("g", "О = o1");
             b.cond("g", "М = m2");
         },
         {}, {}, {"О=o1 100 [o1]", "М=m1 100 [m1]", "М=m2 40 [m2]", "Г=да 40 [g]"},
         {"o1+", "m1+", "m2+", "g+"}},

        {"a single-valued goal at CF 100 ends the consultation at once",
         [](Builder &b) {
             b.sub("S1", 1);
             b.sub("S2", 2);
             b.entity("Г", {"да", "нет"}, true);
             b.entity("Л", {"l"});
             b.entity("Д", {"d"});
             b.rule("g1", "S1", "Г = да", 100);
             b.rule("g2", "S1", "Г = нет", 100);
             b.cond("g2", "Л = l");
             b.rule("d", "S1", "Д = d", 100);  // S1's other entity is not determined any more
             b.rule("s2", "S2", "Г = нет", 100);
         },
         {}, {}, {"Г=да 100 [g1]"}, {"g1+"}},

        {"normalisation scales the CFs of an entity to a sum of 100",
         [](Builder &b) {
             b.sub("S", 1);
             b.entity("Г", {"a", "b", "c"}, true, 1, 1);
             b.entity("Н", {"a", "b"}, false, 1, 0);  // not normalised
             b.rule("r1", "S", "Г = a", 80);
             b.rule("r2", "S", "Г = b", 60);
             b.rule("r3", "S", "Г = c", 20);
             b.rule("n1", "S", "Н = a", 80);
             b.rule("n2", "S", "Н = b", 60);
         },
         {}, {}, {"Г=a 50 [r1]", "Г=b 37.5 [r2]", "Г=c 12.5 [r3]", "Н=a 80 [n1]", "Н=b 60 [n2]"},
         {"r1+", "r2+", "r3+", "n1+", "n2+"}},

        {"subtasks in turn order; the goal first, then the others by FACT_ID; leaves asked once",
         [](Builder &b) {
             b.sub("Второй", 2);
             b.sub("Первый", 1);
             b.entity("Б", {"b"});
             b.entity("Г", {"да"}, true, 1);
             b.entity("А", {"a"});
             b.entity("Л", {"l1", "l2"});
             b.entity("К", {"k"});
             b.rule("a", "Первый", "А = a", 100);
             b.cond("a", "К = k");
             b.rule("b", "Первый", "Б = b", 100);
             b.cond("b", "Л = l1");
             b.rule("g1", "Первый", "Г = да", 50);
             b.cond("g1", "Л = l1");
             b.rule("g2", "Второй", "Г = да", 50);
             b.cond("g2", "Л = l1");
             b.cond("g2", "Б = b");  // concluded in «Первый»: keeps its value, not asked
         },
         {"Л=l1", "К=k"}, {"Л", "К"},
         {"Л=l1 100 [ответ]", "Г=да 75 [g1,g2]", "Б=b 100 [b]", "К=k 100 [ответ]", "А=a 100 [a]"},
         {"g1+", "b+", "a+", "g2+"}},

        {"a metarule jumps ahead and skips subtasks; visited ones are never entered again",
         [](Builder &b) {
             b.sub("S1", 1);
             b.sub("S2", 2);
             b.sub("S3", 3);
             b.sub("S4", 4);
             b.entity("Г", {"g1", "g2", "g3", "g4"}, true, 1);
             b.entity("Р", {"да", "нет"});
             b.rule("r1", "S1", "Г = g1", 100);
             b.rule("r2", "S2", "Г = g2", 100);
             b.rule("r3", "S3", "Г = g3", 100);
             b.rule("r4", "S4", "Г = g4", 100);
             b.metarule("m0", "S1", "S4");  // its condition fails
             b.cond("m0", "Р = нет");
             b.metarule("m1", "S1", "S3");  // a leaf in a metarule is asked
             b.cond("m1", "Р = да");
             b.metarule("m2", "S3", "S1");  // back to a visited subtask: passed over, S4 by turn
             b.metarule("m3", "S4", "S2");  // S2 was skipped but a metarule may lead there
             b.metarule("m4", "S2", "S3");  // visited; and no subtask follows S2 unvisited
         },
         {"Р=да"}, {"Р"},
         {"Г=g1 100 [r1]", "Г=g3 100 [r3]", "Г=g4 100 [r4]", "Г=g2 100 [r2]", "Р=да 100 [ответ]"},
         {"r1+", "r3+", "r4+", "r2+"}},

        {"without a metarule the next subtask by turn comes; a concluded entity in a metarule counts as known",
         [](Builder &b) {
             b.sub("S1", 1);
             b.sub("S2", 2);
             b.sub("S3", 3);
             b.entity("Г", {"g1", "g2", "g3"}, true, 1);
             b.entity("Р", {"да"});
             b.rule("r1", "S1", "Г = g1", 100);
             b.rule("r2", "S2", "Г = g2", 100);
             b.rule("r3", "S3", "Г = g3", 100);
             b.rule("rp", "S3", "Р = да", 100);  // concluded only later
             b.metarule("m1", "S1", "S3");
             b.cond("m1", "Р = да");  // nothing known of Р yet: fails, and Р is not asked
         },
         {}, {}, {"Г=g1 100 [r1]", "Г=g2 100 [r2]", "Г=g3 100 [r3]", "Р=да 100 [rp]"},
         {"r1+", "r2+", "r3+", "rp+"}},
    };

    for (const EngineCase &c : cases) {
        SCOPED_TRACE(c.name);
        // Each case in a knowledge base of its own.
        kb::Transaction tx;
        for (const char *t : {"TTOPIC", "TTASK", "TSUBTASK", "TFACT", "TVALUE", "TRULE", "TCONDITION", "TMETA",
                              "TDIALOG", "TRFACT", "TNextver", "questions", "TSitting"})
            kb::execSql(QString("DELETE FROM ") + t);
        Builder b;
        c.build(b);
        tx.commit();
        engine::Engine eng(kb::defaultDb());
        const Consultation run = consult(eng, b, c.answers);
        EXPECT_EQ(run.last.nextFact, 0) << "the consultation did not come to its end";
        EXPECT_EQ(run.asked, c.asked);
        const Rows r = readRows(b, run.sitting);
        EXPECT_EQ(r.facts, c.facts);
        EXPECT_EQ(r.dialog, c.dialog);
        EXPECT_EQ(r.steps, c.asked);
    }
}

// ---------------------------------------------------------------------------------------
// Sittings: steps, step back, restarts, explanations.

namespace {

// A small diagnosis: three questions, two subtasks and a metarule, a numeric entity.
void buildDiagnosis(Builder &b)
{
    b.sub("Симптомы", 1);
    b.sub("Уточнение", 2);
    b.entity("Диагноз", {"грипп", "простуда"}, true, 1);
    b.entity("Т", {});
    b.entity("Кашель", {"есть", "нет"}, false, 0, 0, 1);
    b.entity("Боль", {"есть", "нет"});
    b.rule("r1", "Симптомы", "Диагноз = грипп", 80);
    b.cond("r1", "Т >= 38");
    b.cond("r1", "Кашель = есть");
    b.rule("r2", "Симптомы", "Диагноз = простуда", 60);
    b.cond("r2", "Т < 38");
    b.rule("r3", "Уточнение", "Диагноз = грипп", 50);
    b.cond("r3", "Боль = есть");
    b.metarule("m", "Симптомы", "Уточнение");
    b.cond("m", "Кашель = есть");
}

}  // namespace

TEST_F(EngineTest, StepBackRestoresTheEarlierRowsExactly)
{
    Builder b;
    buildDiagnosis(b);
    engine::Engine eng(kb::defaultDb());
    Consultation c = consult(eng, b, {"Т=38,5", "Кашель=есть;75"});
    ASSERT_EQ(c.asked, QStringList({"Т", "Кашель", "Боль"}));
    const Rows afterTwo = readRows(b, c.sitting);
    EXPECT_EQ(afterTwo.facts, QStringList({"Т=38.5 100 [ответ]", "Кашель=есть 75 [ответ]", "Диагноз=грипп 60 [r1]"}));
    EXPECT_EQ(afterTwo.steps, QStringList({"Т", "Кашель", "Боль"}));

    // The third answer, then a step back.
    insertAnswer(c.sitting, b.factId("Боль"), b.valueId("Боль:есть"), 100, 0);
    const engine::Engine::Step done = eng.dial(c.sitting);
    EXPECT_EQ(done.nextFact, 0);
    EXPECT_EQ(done.stepText, engine::Engine::stepName(c.sitting, 3));
    EXPECT_EQ(readRows(b, c.sitting).facts,
              QStringList({"Т=38.5 100 [ответ]", "Кашель=есть 75 [ответ]", "Диагноз=грипп 80 [r1,r3]", "Боль=есть 100 [ответ]"}));

    const engine::Engine::Step back = eng.backStep(c.sitting);
    EXPECT_EQ(back.nextFact, b.factId("Боль"));
    EXPECT_EQ(back.stepText, engine::Engine::stepName(c.sitting, 2));
    EXPECT_EQ(readRows(b, c.sitting), afterTwo);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM questions WHERE SITTING_ID=" + QString::number(c.sitting)), QStringList({"2"}));

    // Two more steps back reach the first question; one more changes nothing.
    EXPECT_EQ(eng.backStep(c.sitting).nextFact, b.factId("Кашель"));
    EXPECT_EQ(eng.backStep(c.sitting).nextFact, b.factId("Т"));
    EXPECT_EQ(readRows(b, c.sitting).facts, QStringList());
    EXPECT_EQ(readRows(b, c.sitting).steps, QStringList({"Т"}));
    const engine::Engine::Step again = eng.backStep(c.sitting);
    EXPECT_EQ(again.nextFact, b.factId("Т"));
    EXPECT_EQ(again.stepText, engine::Engine::stepName(c.sitting, 0));
}

TEST_F(EngineTest, SameAnswersGiveTheSameRowsAfterARestart)
{
    Builder b;
    buildDiagnosis(b);
    Rows first;
    int sitting = 0;
    {
        engine::Engine eng(kb::defaultDb());
        const Consultation c = consult(eng, b, {"Т=39", "Кашель=есть;75", "Боль=нет"});
        sitting = c.sitting;
        first = readRows(b, sitting);
        EXPECT_EQ(first.facts.size(), 4);
    }
    // A fresh engine (as after a restart) answers the sitting's next call the same way, and a
    // second sitting with the same answers gets the same rows.
    engine::Engine fresh(kb::defaultDb());
    EXPECT_EQ(fresh.dial(sitting).nextFact, 0);
    EXPECT_EQ(readRows(b, sitting), first);
    const Consultation second = consult(fresh, b, {"Т=39", "Кашель=есть;75", "Боль=нет"});
    EXPECT_NE(second.sitting, sitting);
    EXPECT_EQ(readRows(b, second.sitting), first);
}

TEST_F(EngineTest, CleanTableAndNewSittings)
{
    Builder b;
    buildDiagnosis(b);
    engine::Engine eng(kb::defaultDb());
    const Consultation c = consult(eng, b, {"Т=36,6"});
    EXPECT_EQ(rows("SELECT SITTING_ID, TASK_ID, GOAL_ID FROM TSitting"),
              QStringList({QString("%1\t%2\t%3").arg(c.sitting).arg(b.taskId()).arg(b.goalId())}));
    EXPECT_FALSE(rows("SELECT * FROM TNextver").isEmpty());
    eng.cleanTable();
    EXPECT_TRUE(rows("SELECT * FROM TNextver").isEmpty());
    // TDIALOG and TRFACT of the sitting stay for the network and the results.
    EXPECT_FALSE(rows("SELECT * FROM TRFACT").isEmpty());
    EXPECT_GT(eng.initBase(b.taskId(), b.goalId()), c.sitting);

    // After the sittings were emptied and renumbered, rows left under a reused number do not
    // leak into the new sitting.
    kb::execSql("DELETE FROM TSitting");
    kb::execSql("DELETE FROM sqlite_sequence WHERE name='TSitting'");
    insertAnswer(1, b.factId("Т"), -1, 100, 40);
    kb::execSql("INSERT INTO TDIALOG (SITTING_ID, RULE_ID, LRES, LOUT) VALUES (1, 1, 1, 'F')");
    const int reused = eng.initBase(b.taskId(), b.goalId());
    ASSERT_EQ(reused, 1);
    EXPECT_TRUE(rows("SELECT * FROM questions WHERE SITTING_ID=1").isEmpty());
    EXPECT_TRUE(rows("SELECT * FROM TDIALOG WHERE SITTING_ID=1").isEmpty());
    EXPECT_EQ(eng.dial(reused).nextFact, b.factId("Т"));
}

TEST_F(EngineTest, TheConsultationEndsWithoutAResult)
{
    Builder b;
    buildDiagnosis(b);
    engine::Engine eng(kb::defaultDb());
    // A cold without cough: «простуда» is found...
    Consultation c = consult(eng, b, {"Т=37", "Кашель=нет", "Боль=нет"});
    EXPECT_EQ(c.asked, QStringList({"Т", "Кашель", "Боль"}));
    EXPECT_EQ(c.last.nextFact, 0);
    EXPECT_EQ(c.last.stepText, engine::Engine::stepName(c.sitting, 3));
    // ... a fever without cough gives nothing: the last step text is empty.
    c = consult(eng, b, {"Т=39", "Кашель=нет", "Боль=нет"});
    EXPECT_EQ(c.asked, QStringList({"Т", "Кашель", "Боль"}));
    EXPECT_EQ(c.last.nextFact, 0);
    EXPECT_EQ(c.last.stepText, "");
    // The step still has a name of its own, in the second text, and explains as itself, not
    // as the start of the consultation that the empty text stands for.
    EXPECT_EQ(c.last.secondText, engine::Engine::stepName(c.sitting, 3));
    EXPECT_NE(eng.explain(c.last.secondText), eng.explain(QString()));

    // The dialogue keeps that name in its step list, so the results show the last step.
    consultation::CoreEngine core;
    consultation::Consultation dialogue(core);
    auto outcome = dialogue.start(b.taskId(), b.goalId());
    outcome = dialogue.acceptNumber("39", 100);
    for (const char *name : {"Кашель", "Боль"}) {
        ASSERT_FALSE(outcome.over);
        outcome = dialogue.acceptValue(b.valueId(QString(name) + ":нет"), 100);
    }
    ASSERT_TRUE(outcome.over);
    EXPECT_TRUE(outcome.noResult);
    ASSERT_EQ(dialogue.steps().size(), 4);
    EXPECT_EQ(dialogue.steps().last(), engine::Engine::stepName(dialogue.sitting(), 3));
}

TEST_F(EngineTest, UnknownSittingAndTaskWithoutRules)
{
    engine::Engine eng(kb::defaultDb());
    EXPECT_THROW(eng.dial(12345), engine::EngineError);
    EXPECT_THROW(eng.backStep(12345), engine::EngineError);

    const int t = task(topic("Т"), "Пустая");
    const int sitting = eng.initBase(t, 0);
    const engine::Engine::Step s = eng.dial(sitting);
    EXPECT_EQ(s.nextFact, 0);
    EXPECT_EQ(s.stepText, "");
    EXPECT_TRUE(eng.explain("").contains("В задаче нет правил"));
}

TEST_F(EngineTest, TaskWithoutSubtasksUsesAllItsRules)
{
    Builder b;
    b.entity("Г", {"да"}, true);
    b.entity("Л", {"l"});
    b.rule("r1", "", "Г = да", 90);
    b.cond("r1", "Л = l");
    engine::Engine eng(kb::defaultDb());
    const Consultation c = consult(eng, b, {"Л=l"});
    EXPECT_EQ(c.asked, QStringList({"Л"}));
    EXPECT_EQ(readRows(b, c.sitting).facts, QStringList({"Л=l 100 [ответ]", "Г=да 90 [r1]"}));
}

TEST_F(EngineTest, AVeryLongChainOfRulesIsCutNotFatal)
{
    // Е0 <- Е1 <- ... <- Е1499 <- the leaf Л: far deeper than any real knowledge base.
    const int n = 1500;
    Builder b;
    {
        kb::Transaction tx;
        b.sub("S", 1);
        for (int i = 0; i < n; ++i)
            b.entity(QString("Е%1").arg(i), {"да"}, i == 0);
        b.entity("Л", {"да"});
        for (int i = 0; i < n; ++i) {
            b.rule(QString("r%1").arg(i), "S", QString("Е%1 = да").arg(i), 100);
            b.cond(QString("r%1").arg(i), i + 1 < n ? QString("Е%1 = да").arg(i + 1) : QString("Л = да"));
        }
        tx.commit();
    }
    engine::Engine eng(kb::defaultDb());
    const Consultation c = consult(eng, b, {"Л=да"});
    EXPECT_EQ(c.asked, QStringList({"Л"}));
    EXPECT_EQ(c.last.nextFact, 0);
    EXPECT_TRUE(eng.explain("").contains(QString("Цепочка правил длиннее %1 сущностей").arg(engine::kMaxChain)));
    // The entities below the cut are determined in their own turn (with the leaf's answer);
    // those above it, the goal among them, get nothing.
    const QString sitting = QString::number(c.sitting);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TRFACT WHERE SITTING_ID=" + sitting),
              QStringList({QString::number(n - engine::kMaxChain + 1)}));
    EXPECT_TRUE(rows("SELECT * FROM TRFACT WHERE SITTING_ID=" + sitting + " AND FACT_ID=" +
                     QString::number(b.goalId())).isEmpty());
}

TEST_F(EngineTest, AnswersThatCannotBeTakenAreReportedNotFatal)
{
    Builder b;
    b.sub("S", 1);
    b.entity("Г", {"да"}, true);
    b.entity("Л", {"l"});
    b.entity("Д", {"d"});
    b.rule("r1", "S", "Г = да", 90);
    b.cond("r1", "Л = l");
    engine::Engine eng(kb::defaultDb());
    eng.cleanTable();
    const int sitting = eng.initBase(b.taskId(), b.goalId());
    ASSERT_EQ(eng.dial(sitting).nextFact, b.factId("Л"));
    // A value of another entity: the question counts as asked, the entity has no value.
    insertAnswer(sitting, b.factId("Л"), b.valueId("Д:d"), 100, 0);
    const engine::Engine::Step s = eng.dial(sitting);
    EXPECT_EQ(s.nextFact, 0);
    EXPECT_TRUE(readRows(b, sitting).facts.isEmpty());
    EXPECT_TRUE(eng.explain(s.stepText.isEmpty() ? engine::Engine::stepName(sitting, 1) : s.stepText)
                    .contains("Ответ не принят"));
}

TEST_F(EngineTest, ExplanationsTellTheCourseInRussian)
{
    Builder b;
    buildDiagnosis(b);
    b.rule("r4", "Уточнение", "Диагноз := 1 / 0", 50);  // a conclusion with a fault (symbolic goal)
    engine::Engine eng(kb::defaultDb());
    const Consultation c = consult(eng, b, {"Т=38,5", "Кашель=есть;75", "Боль=есть"});
    ASSERT_EQ(c.stepTexts.size(), 4);

    const QString start = eng.explain("");
    EXPECT_TRUE(start.contains(QString("Начало консультации (сеанс %1).").arg(c.sitting))) << start.toStdString();
    EXPECT_TRUE(start.contains("Задача: «Задача».")) << start.toStdString();
    EXPECT_TRUE(start.contains("Цель: «Сущность Диагноз».")) << start.toStdString();
    EXPECT_TRUE(start.contains("Первая подзадача: «Симптомы».")) << start.toStdString();
    EXPECT_TRUE(start.contains("Следующий вопрос: о сущности «Сущность Т».")) << start.toStdString();

    const QString one = eng.explain(c.stepTexts[1]);
    EXPECT_TRUE(one.startsWith("Шаг 1.\nВопрос: Каково значение Т? (сущность «Сущность Т»)\nОтвет: 38.5, КД 100."))
        << one.toStdString();
    EXPECT_TRUE(one.endsWith("Следующий вопрос: о сущности «Сущность Кашель».\n")) << one.toStdString();

    const QString two = eng.explain(c.stepTexts[2]);
    EXPECT_TRUE(two.contains("Правило № " + QString::number(b.ruleId("r2")) +
                             " отвергнуто: условие «Сущность Т» меньше 38 имеет степень 0 (меньше 20)."))
        << two.toStdString();
    EXPECT_TRUE(two.contains("Ответ: «есть», КД 75.")) << two.toStdString();
    EXPECT_TRUE(two.contains("Правило № " + QString::number(b.ruleId("r1")) +
                             " сработало (посылка 75): «Сущность Диагноз» = «грипп», КД 60."))
        << two.toStdString();
    EXPECT_TRUE(two.contains("Подзадача «Симптомы» завершена.")) << two.toStdString();
    EXPECT_TRUE(two.contains("сработало: переход на подзадачу «Уточнение».")) << two.toStdString();

    const QString three = eng.explain(c.stepTexts[3]);
    EXPECT_TRUE(three.contains("КД 50. Вместе с прежними выводами КД значения 80.")) << three.toStdString();
    EXPECT_TRUE(three.contains("деление на ноль")) << three.toStdString();
    EXPECT_TRUE(three.contains("Консультация окончена.")) << three.toStdString();
    EXPECT_TRUE(three.contains("Значения цели «Сущность Диагноз»: «грипп» (КД 80).")) << three.toStdString();

    // A step taken back no longer exists; a text that names no step comes back as it is.
    eng.backStep(c.sitting);
    EXPECT_TRUE(eng.explain(c.stepTexts[3]).contains("отменён"));
    EXPECT_EQ(eng.explain("Ошибка машины вывода: диск полон"), "Ошибка машины вывода: диск полон");
}

TEST(EngineRelations, WordsOfTheRulesListing)
{
    const QStringList words{"не определено", "больше", "принимает", "больше или равно", "меньше", "не принимает",
                            "меньше или равно"};
    for (int code = 0; code <= 6; ++code)
        EXPECT_EQ(engine::Engine::relations(code), words[code]);
    EXPECT_EQ(engine::Engine::relations(7), "?");
    EXPECT_EQ(engine::Engine::relations(-1), "?");
}

// ---------------------------------------------------------------------------------------
// The engine library as the program loads it.

namespace {

struct Library {
    QLibrary lib{QString(ZELMORA_BIN_DIR) + "/libquorbbde.so"};
    decltype(&::Clean_table) clean = nullptr;
    decltype(&::Init_base) init = nullptr;
    decltype(&::Dial) dial = nullptr;
    decltype(&::BackStep) back = nullptr;
    decltype(&::Explain) explain = nullptr;
    decltype(&::Relations) relations = nullptr;
    decltype(&::Free_text) freeText = nullptr;

    bool load()
    {
        if (!lib.load())
            return false;
        clean = reinterpret_cast<decltype(clean)>(lib.resolve("Clean_table"));
        init = reinterpret_cast<decltype(init)>(lib.resolve("Init_base"));
        dial = reinterpret_cast<decltype(dial)>(lib.resolve("Dial"));
        back = reinterpret_cast<decltype(back)>(lib.resolve("BackStep"));
        explain = reinterpret_cast<decltype(explain)>(lib.resolve("Explain"));
        relations = reinterpret_cast<decltype(relations)>(lib.resolve("Relations"));
        freeText = reinterpret_cast<decltype(freeText)>(lib.resolve("Free_text"));
        return clean && init && dial && back && explain && relations && freeText;
    }
    QString take(char *text)
    {
        const QString s = QString::fromUtf8(text);
        freeText(text);
        return s;
    }
    int callDial(int sitting, QString *step, QString *second = nullptr)
    {
        char *a = nullptr;
        char *b = nullptr;
        int next = -1;
        dial(&a, &b, sitting, 0, 100, &next, 0.0, 1);
        *step = take(a);
        const QString s2 = take(b);
        if (second)
            *second = s2;
        return next;
    }
};

}  // namespace

TEST_F(EngineTest, LibraryGivesTheSameRowsAsTheCore)
{
    Library lib;
    ASSERT_TRUE(lib.load()) << lib.lib.errorString().toStdString();
    Builder b;
    buildDiagnosis(b);

    engine::Engine core(kb::defaultDb());
    const Consultation viaCore = consult(core, b, {"Т=38,5", "Кашель=есть;75", "Боль=есть"});
    const Rows expected = readRows(b, viaCore.sitting);

    lib.clean();
    const int sitting = lib.init(b.taskId(), b.goalId(), 1);
    ASSERT_GT(sitting, viaCore.sitting);
    QString step;
    int next = lib.callDial(sitting, &step);
    const QStringList answers[] = {{"Т", "", "38.5", "100"}, {"Кашель", "есть", "", "75"}, {"Боль", "есть", "", "100"}};
    QStringList steps{""};
    for (const QStringList &a : answers) {
        ASSERT_EQ(next, b.factId(a[0]));
        const int valueId = a[1].isEmpty() ? -1 : b.valueId(a[0] + ":" + a[1]);
        insertAnswer(sitting, next, valueId, a[3].toInt(), a[2].toDouble());
        next = lib.callDial(sitting, &step);
        steps << step;
    }
    EXPECT_EQ(next, 0);
    EXPECT_EQ(readRows(b, sitting), expected);

    // Step back through the library: the sitting stays, the last question comes again.
    int id = sitting;
    char *text = nullptr;
    EXPECT_EQ(lib.back(&id, &text), b.factId("Боль"));
    EXPECT_EQ(id, sitting);
    EXPECT_EQ(lib.take(text), engine::Engine::stepName(sitting, 2));

    // Unloading and loading the library again (a restart) changes nothing.
    ASSERT_TRUE(lib.lib.unload());
    ASSERT_TRUE(lib.load());
    insertAnswer(sitting, b.factId("Боль"), b.valueId("Боль:есть"), 100, 0);
    EXPECT_EQ(lib.callDial(sitting, &step), 0);
    EXPECT_EQ(readRows(b, sitting), expected);

    lib.explain(&text, steps[1].toUtf8().constData());
    EXPECT_TRUE(lib.take(text).startsWith("Шаг 1.\nВопрос: Каково значение Т?"));
    lib.explain(&text, "");
    EXPECT_TRUE(lib.take(text).contains("Начало консультации"));
    lib.relations(&text, 5, 0);
    EXPECT_EQ(lib.take(text), "не принимает");
}

TEST_F(EngineTest, LibraryReportsDatabaseFaultsInsteadOfCrashing)
{
    Library lib;
    ASSERT_TRUE(lib.load());
    // The alias points at a directory without a knowledge base.
    const QString empty = dir_.path() + "/empty";
    QDir().mkpath(empty);
    dbengine::RegisterAlias(dbengine::kAliasName, empty, dbengine::kDriverParadox);
    lib.clean();
    EXPECT_EQ(lib.init(1, 1, 1), 0);
    QString step, second;
    EXPECT_EQ(lib.callDial(1, &step, &second), 0);
    EXPECT_TRUE(step.startsWith("Ошибка машины вывода: ")) << step.toStdString();
    EXPECT_TRUE(step.contains(empty)) << step.toStdString();
    EXPECT_EQ(second, step);
    int id = 1;
    char *text = nullptr;
    EXPECT_EQ(lib.back(&id, &text), 0);
    EXPECT_TRUE(lib.take(text).startsWith("Ошибка машины вывода: "));
    lib.explain(&text, "Сеанс 1, шаг 1");
    EXPECT_TRUE(lib.take(text).startsWith("Ошибка машины вывода: "));

    // Pointing the alias back: the library opens the right base again on its next call.
    dbengine::RegisterAlias(dbengine::kAliasName, kbDir(), dbengine::kDriverParadox);
    Builder b;
    buildDiagnosis(b);
    const int sitting = lib.init(b.taskId(), b.goalId(), 1);
    EXPECT_GT(sitting, 0);
    EXPECT_EQ(lib.callDial(sitting, &step), b.factId("Т"));
    // An unknown sitting is a readable error too.
    EXPECT_EQ(lib.callDial(sitting + 100, &step), 0);
    EXPECT_TRUE(step.contains("не найден")) << step.toStdString();
}

// ---------------------------------------------------------------------------------------
// zelmora-cli consult: the same consultation without a display.

namespace {

using testing_kb::CliRun;
using testing_kb::runCli;

QString writeFile(const QString &path, const QString &text)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
    return path;
}

}  // namespace

TEST_F(EngineTest, CliConsultPrintsQuestionsResultsAndExplanations)
{
    Builder b;  // the task's threshold is 30
    b.sub("S", 1);
    b.entity("Н", {}, true, 1);
    b.entity("Л", {"да", "нет"}, false, 0, 0, 1);
    b.entity("Т", {});
    b.entity("Д", {"да", "нет"});  // deterministic: a certainty given for it is ignored
    b.rule("r1", "S", "Н := 1", 40);
    b.cond("r1", "Л = да");
    b.rule("r2", "S", "Н := [Т] * 2", 90);
    b.rule("r3", "S", "Н := 3,5", 70);
    b.cond("r3", "Л = да");
    b.rule("r4", "S", "Н := 4", 20);  // below the threshold
    b.cond("r4", "Д = да");
    const QString task = QString::number(b.taskId());
    const QString answers = writeFile(dir_.path() + "/case.answers",
                                      "# a comment\nЛ = да ; 75\n\nТ = 36,6\nД = да ; 50\n");
    CliRun r = runCli({"--db", kbDir(), "consult", "--task", task, "--answers", answers}, configDir());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    // Numeric results by certainty, the one exactly at the threshold included.
    EXPECT_EQ(r.out, "? Сущность Л\n? Сущность Т\n? Сущность Д\n= 73.2\t90\n= 3.5\t52.5\n= 1\t30\n");
    EXPECT_TRUE(r.err.contains("certainty 50 ignored")) << r.err.toStdString();

    r = runCli({"--db", kbDir(), "consult", "--task", task, "--answers", answers, "--explain"}, configDir());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("= 1\t30\n\nНачало консультации")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Шаг 3.\nВопрос: Каково значение Д? (сущность «Сущность Д»)\nОтвет: «да», КД 100."))
        << r.out.toStdString();
}

TEST_F(EngineTest, CliConsultRefusesMissingAndUnknownAnswers)
{
    Builder b;
    b.sub("S", 1);
    b.entity("Г", {"да", "нет"}, true);
    b.entity("Л", {"да", "нет"});
    b.entity("Т", {});
    b.rule("r1", "S", "Г = да", 100);
    b.cond("r1", "Л = да");
    b.cond("r1", "Т > 37");
    const QString task = QString::number(b.taskId());
    struct Case {
        const char *answers;
        int code;
        const char *out;
        const char *inErr;
    } cases[] = {
        {"Л = да\n", 3, "? Сущность Л\n? Сущность Т\n", "'Сущность Т'"},
        {"Л = может\nТ = 38\n", 2, "", "has no value 'может' (its values: да, нет)"},
        {"Л = да\nТ = много\n", 2, "", "'много' is not a number"},
        {"Х = да\n", 2, "", "no entity with the short name 'Х'"},
        {"Л да\n", 2, "", ":1: expected 'short name = answer'"},
        {"Л = да ; 120\n", 2, "", "certainty"},
        {"Л = да\nЛ = нет\n", 2, "", "answered twice"},
        {"Л = да\nТ = 37,5\n", 0, "? Сущность Л\n? Сущность Т\n= да\t100\n", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answers);
        const QString file = writeFile(dir_.path() + "/case.answers", QString::fromUtf8(c.answers));
        const CliRun r = runCli({"--db", kbDir(), "consult", "--task", task, "--answers", file}, configDir());
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        EXPECT_EQ(r.out, QString::fromUtf8(c.out));
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.inErr))) << r.err.toStdString();
    }
    const CliRun noTask = runCli({"--db", kbDir(), "consult", "--task", "999", "--answers", "x"}, configDir());
    EXPECT_NE(noTask.code, 0);
    EXPECT_TRUE(noTask.err.contains("no task 999")) << noTask.err.toStdString();
}
