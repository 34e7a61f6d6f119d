#include "engine/Expression.h"

#include <cmath>

namespace engine {

struct Expression::Node {
    enum Kind { Number, Reference, Negate, Add, Subtract, Multiply, Divide };
    Kind kind = Number;
    double number = 0;
    QString name;
    std::shared_ptr<const Node> left, right;
};

namespace {

using NodePtr = std::shared_ptr<const Expression::Node>;

// Longer texts are refused: an expression is a short formula, and the length bounds the
// depth of the evaluation.
constexpr qsizetype kMaxLength = 4000;

struct SyntaxError {
    QString message;
    int position;  // 0-based index into the text
};

// The four functions of the function master, each the same as one operator.
struct FunctionDef {
    const char16_t *name;
    Expression::Node::Kind kind;
};
const FunctionDef kFunctions[] = {
    {u"СЛОЖЕНИЕ", Expression::Node::Add},
    {u"ВЫЧИТАНИЕ", Expression::Node::Subtract},
    {u"УМНОЖЕНИЕ", Expression::Node::Multiply},
    {u"ДЕЛЕНИЕ", Expression::Node::Divide},
};

class Parser {
public:
    explicit Parser(const QString &text) : s_(text) {}

    NodePtr parseAll()
    {
        if (s_.size() > kMaxLength)
            throw SyntaxError{QStringLiteral("выражение длиннее %1 знаков").arg(kMaxLength), int(kMaxLength)};
        skipBlanks();
        if (pos_ >= s_.size())
            throw SyntaxError{QStringLiteral("выражение пусто"), 0};
        NodePtr n = parseSum();
        skipBlanks();
        if (pos_ < s_.size()) {
            if (s_[pos_] == u')')
                fail(QStringLiteral("лишняя закрывающая скобка"));
            if (s_[pos_] == u';')
                fail(QStringLiteral("«;» разделяет аргументы функции и не может стоять здесь"));
            fail(QStringLiteral("ожидался знак действия, а стоит «%1»").arg(s_[pos_]));
        }
        return n;
    }

    QStringList references;

private:
    [[noreturn]] void fail(const QString &message) { throw SyntaxError{message, int(pos_)}; }

    void skipBlanks()
    {
        while (pos_ < s_.size() && s_[pos_].isSpace())
            ++pos_;
    }

    bool peek(QChar c)
    {
        skipBlanks();
        return pos_ < s_.size() && s_[pos_] == c;
    }

    static NodePtr binary(Expression::Node::Kind kind, NodePtr l, NodePtr r)
    {
        auto n = std::make_shared<Expression::Node>();
        n->kind = kind;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    NodePtr parseSum()
    {
        NodePtr n = parseProduct();
        for (;;) {
            if (peek(u'+')) {
                ++pos_;
                n = binary(Expression::Node::Add, n, parseProduct());
            } else if (peek(u'-')) {
                ++pos_;
                n = binary(Expression::Node::Subtract, n, parseProduct());
            } else {
                return n;
            }
        }
    }

    NodePtr parseProduct()
    {
        NodePtr n = parseUnary();
        for (;;) {
            if (peek(u'*')) {
                ++pos_;
                n = binary(Expression::Node::Multiply, n, parseUnary());
            } else if (peek(u'/')) {
                ++pos_;
                n = binary(Expression::Node::Divide, n, parseUnary());
            } else {
                return n;
            }
        }
    }

    NodePtr parseUnary()
    {
        // Nesting is bounded so that no text, however it was written, exhausts the stack.
        if (++depth_ > kMaxDepth)
            fail(QStringLiteral("слишком глубокая вложенность скобок и знаков"));
        struct Leave {
            int &d;
            ~Leave() { --d; }
        } leave{depth_};
        if (peek(u'-')) {
            ++pos_;
            auto n = std::make_shared<Expression::Node>();
            n->kind = Expression::Node::Negate;
            n->left = parseUnary();
            return n;
        }
        if (peek(u'+')) {
            ++pos_;
            return parseUnary();
        }
        return parsePrimary();
    }

    NodePtr parsePrimary()
    {
        skipBlanks();
        if (pos_ >= s_.size())
            fail(QStringLiteral("выражение обрывается: ожидалось число, ссылка на сущность, "
                                "функция или «(»"));
        const QChar c = s_[pos_];
        if (c.isDigit() || c == u'.' || c == u',')
            return parseNumber();
        if (c == u'[')
            return parseReference();
        if (c == u'(') {
            ++pos_;
            NodePtr n = parseSum();
            if (!peek(u')'))
                fail(QStringLiteral("не хватает закрывающей скобки"));
            ++pos_;
            return n;
        }
        if (c.isLetter())
            return parseFunction();
        fail(QStringLiteral("ожидалось число, ссылка на сущность, функция или «(», а стоит «%1»")
                 .arg(c));
    }

    NodePtr parseNumber()
    {
        const qsizetype start = pos_;
        QString digits;
        while (pos_ < s_.size() && s_[pos_].isDigit() && s_[pos_].unicode() < 128)
            digits += s_[pos_++];
        if (pos_ < s_.size() && (s_[pos_] == u'.' || s_[pos_] == u',')) {
            ++pos_;
            QString fraction;
            while (pos_ < s_.size() && s_[pos_].isDigit() && s_[pos_].unicode() < 128)
                fraction += s_[pos_++];
            if (digits.isEmpty() && fraction.isEmpty()) {
                pos_ = start;
                fail(QStringLiteral("ожидалось число, а стоит «%1»").arg(s_[start]));
            }
            if (fraction.isEmpty()) {
                pos_ = start + digits.size() + 1;
                fail(QStringLiteral("после десятичного разделителя нет цифр"));
            }
            digits += u'.' + fraction;
        }
        if (digits.isEmpty()) {
            pos_ = start;
            fail(QStringLiteral("ожидалось число"));
        }
        auto n = std::make_shared<Expression::Node>();
        n->kind = Expression::Node::Number;
        n->number = digits.toDouble();
        return n;
    }

    NodePtr parseReference()
    {
        const qsizetype open = pos_;
        ++pos_;
        const qsizetype close = s_.indexOf(u']', pos_);
        if (close < 0) {
            pos_ = open;
            fail(QStringLiteral("ссылка на сущность не закрыта скобкой «]»"));
        }
        const QString name = s_.mid(pos_, close - pos_).trimmed();
        if (name.isEmpty()) {
            pos_ = open;
            fail(QStringLiteral("пустая ссылка []: в скобках пишется краткое имя сущности"));
        }
        if (name.contains(u'[')) {
            pos_ = open;
            fail(QStringLiteral("ссылка на сущность не закрыта скобкой «]»"));
        }
        pos_ = close + 1;
        if (!references.contains(name))
            references << name;
        auto n = std::make_shared<Expression::Node>();
        n->kind = Expression::Node::Reference;
        n->name = name;
        return n;
    }

    NodePtr parseFunction()
    {
        const qsizetype start = pos_;
        QString word;
        while (pos_ < s_.size() && (s_[pos_].isLetter() || s_[pos_] == u'_'))
            word += s_[pos_++];
        const QString upper = word.toUpper();
        const FunctionDef *def = nullptr;
        for (const FunctionDef &f : kFunctions)
            if (upper == QString::fromUtf16(f.name))
                def = &f;
        if (!def) {
            pos_ = start;
            fail(QStringLiteral("неизвестная функция «%1» (известны: %2); ссылка на сущность "
                                "пишется в квадратных скобках")
                     .arg(word, functionNames().join(QStringLiteral(", "))));
        }
        const QString name = QString::fromUtf16(def->name);
        if (!peek(u'('))
            fail(QStringLiteral("после имени функции %1 ожидалась «(»").arg(name));
        ++pos_;
        NodePtr a = parseSum();
        if (!peek(u';'))
            fail(QStringLiteral("функция %1 принимает два аргумента, разделённых «;»").arg(name));
        ++pos_;
        NodePtr b = parseSum();
        if (peek(u';'))
            fail(QStringLiteral("функция %1 принимает только два аргумента").arg(name));
        if (!peek(u')'))
            fail(QStringLiteral("не хватает закрывающей скобки функции %1").arg(name));
        ++pos_;
        return binary(def->kind, a, b);
    }

    static constexpr int kMaxDepth = 200;
    const QString &s_;
    qsizetype pos_ = 0;
    int depth_ = 0;
};

double eval(const Expression::Node &n, const Expression::Resolver &resolve)
{
    using K = Expression::Node;
    switch (n.kind) {
    case K::Number:
        return n.number;
    case K::Reference:
        if (!resolve)
            throw EvalError(QStringLiteral("ссылка [%1] не может быть вычислена").arg(n.name));
        return resolve(n.name);
    case K::Negate:
        return -eval(*n.left, resolve);
    case K::Add:
        return eval(*n.left, resolve) + eval(*n.right, resolve);
    case K::Subtract:
        return eval(*n.left, resolve) - eval(*n.right, resolve);
    case K::Multiply:
        return eval(*n.left, resolve) * eval(*n.right, resolve);
    case K::Divide: {
        const double a = eval(*n.left, resolve);
        const double b = eval(*n.right, resolve);
        if (b == 0)
            throw EvalError(QStringLiteral("деление на ноль"));
        return a / b;
    }
    }
    return 0;
}

}  // namespace

Expression Expression::parse(const QString &text)
{
    Expression e;
    e.text_ = text;
    Parser p(e.text_);
    try {
        e.root_ = p.parseAll();
        e.references_ = p.references;
    } catch (const SyntaxError &err) {
        e.error_ = err.message;
        e.errorPosition_ = err.position + 1;
        e.root_.reset();
    }
    return e;
}

QString Expression::errorText() const
{
    if (ok())
        return {};
    return QStringLiteral("позиция %1: %2").arg(errorPosition_).arg(error_);
}

double Expression::evaluate(const Resolver &resolve) const
{
    if (!ok())
        throw EvalError(errorText());
    if (!root_)
        throw EvalError(QStringLiteral("выражение пусто"));
    const double v = eval(*root_, resolve);
    if (!std::isfinite(v))
        throw EvalError(QStringLiteral("результат вне допустимого диапазона чисел"));
    return v;
}

QStringList functionNames()
{
    QStringList names;
    for (const FunctionDef &f : kFunctions)
        names << QString::fromUtf16(f.name);
    return names;
}

QString checkExpression(const QString &text, const QStringList *knownNumericShortNames,
                        int *position)
{
    if (position)
        *position = 0;
    const Expression e = Expression::parse(text);
    if (!e.ok()) {
        if (position)
            *position = e.errorPosition();
        return e.errorText();
    }
    if (knownNumericShortNames) {
        for (const QString &ref : e.references()) {
            bool found = false;
            for (const QString &known : *knownNumericShortNames)
                if (known.trimmed().compare(ref, Qt::CaseInsensitive) == 0)
                    found = true;
            if (!found)
                return QStringLiteral("ссылка [%1]: в задаче нет числовой сущности с таким "
                                      "кратким именем")
                    .arg(ref);
        }
    }
    return {};
}

bool parseDecimal(const QString &text, double *value)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(u'-')) {
        negative = true;
        t = t.mid(1).trimmed();
    }
    if (t.isEmpty())
        return false;
    int separators = 0;
    int digits = 0;
    for (const QChar c : t) {
        if (c == u'.' || c == u',')
            ++separators;
        else if (c.isDigit() && c.unicode() < 128)
            ++digits;
        else
            return false;
    }
    if (separators > 1 || digits == 0 || t.endsWith(u'.') || t.endsWith(u','))
        return false;
    t.replace(u',', u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        return false;
    if (value)
        *value = negative ? -v : v;
    return true;
}

}  // namespace engine
