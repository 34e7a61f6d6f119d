#pragma once
// Numeric expressions of conclusions and conditions: decimal numbers (point or comma),
// + - * /, unary minus, parentheses, references to numeric entities by short name in square
// brackets ([Возраст]) and the four functions СЛОЖЕНИЕ, ВЫЧИТАНИЕ, УМНОЖЕНИЕ, ДЕЛЕНИЕ with
// two arguments separated by ';'. The editors check an expression with the same parser the
// engine evaluates it with, so what the editor accepts is exactly what the engine computes.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace engine {

// A fault found while evaluating (unknown reference, division by zero, a referenced entity
// without a value). The message is Russian and meant for the user.
class EvalError : public std::runtime_error {
public:
    explicit EvalError(const QString &message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};

class Expression {
public:
    Expression() = default;

    // Parses an expression; never throws. A faulty text gives an expression whose ok() is
    // false, with the fault and its position (1-based character index) kept.
    static Expression parse(const QString &text);

    bool ok() const { return error_.isEmpty(); }
    QString text() const { return text_; }
    QString error() const { return error_; }
    int errorPosition() const { return errorPosition_; }
    // The fault as one sentence: "позиция 4: ..." (empty when the expression is sound).
    QString errorText() const;

    // The short names referenced, in order of appearance, each once (trimmed).
    QStringList references() const { return references_; }

    // Resolves a reference (a trimmed short name) to its number; throws EvalError when it
    // cannot.
    using Resolver = std::function<double(const QString &shortName)>;

    // Computes the value. Throws EvalError for a faulty text, a failed reference, a division
    // by zero or a result that is not a finite number.
    double evaluate(const Resolver &resolve) const;

    struct Node;

private:
    QString text_;
    QString error_;
    int errorPosition_ = 0;
    QStringList references_;
    std::shared_ptr<const Node> root_;
};

// The function names known to expressions, as the function master lists them.
QStringList functionNames();

// Checks an expression for an editor: syntax, and, when knownNumericShortNames is given,
// that every reference names one of them (compared after trimming, letter case ignored).
// Returns an empty text when the expression is sound, otherwise the fault in Russian;
// *position receives the 1-based position of a syntax fault (0 for a reference fault).
QString checkExpression(const QString &text, const QStringList *knownNumericShortNames = nullptr,
                        int *position = nullptr);

// Reads a decimal number written with a point or a comma ("38,5"); false when the text is
// not such a number. Blanks around it are ignored; a leading minus is allowed.
bool parseDecimal(const QString &text, double *value);

}  // namespace engine
