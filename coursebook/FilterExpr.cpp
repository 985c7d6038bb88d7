#include "FilterExpr.h"
#include "DataErrors.h"

namespace {

enum class TokKind { Ident, Number, String, Op, LParen, RParen, End };

// Brackets and NOTs nest by recursion; a filter a person writes needs a handful of levels, and a
// cap keeps a malicious or broken expression from running the stack out.
constexpr int MaxNesting = 64;

struct Token {
    TokKind Kind;
    QString Text;
    int Pos;
};

[[noreturn]] void Reject(const QString& expression, int pos, const QString& why) {
    // The message quotes the expression, cut short: it is read in a message box.
    constexpr int Shown = 80;
    const QString text =
        expression.size() > Shown ? expression.left(Shown) + QStringLiteral("…") : expression;
    throw EDatabaseError(QStringLiteral("Неверное выражение фильтра \"%1\" (позиция %2): %3")
                             .arg(text)
                             .arg(pos + 1)
                             .arg(why));
}

QList<Token> Tokenize(const QString& s) {
    QList<Token> out;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'(') {
            out.append({TokKind::LParen, c, i++});
        } else if (c == u')') {
            out.append({TokKind::RParen, c, i++});
        } else if (c == u'\'') {
            const int start = i++;
            QString text;
            for (;;) {
                if (i >= n) Reject(s, start, QStringLiteral("не закрыта кавычка"));
                if (s[i] == u'\'') {
                    if (i + 1 < n && s[i + 1] == u'\'') {
                        text += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += s[i++];
            }
            out.append({TokKind::String, text, start});
        } else if (c == u'=' || c == u'<' || c == u'>') {
            const int start = i++;
            QString op(c);
            if (i < n &&
                ((c == u'<' && (s[i] == u'>' || s[i] == u'=')) || (c == u'>' && s[i] == u'='))) {
                op += s[i++];
            }
            out.append({TokKind::Op, op, start});
        } else if (c.isDigit() || ((c == u'-' || c == u'.') && i + 1 < n && s[i + 1].isDigit())) {
            const int start = i++;
            while (i < n && (s[i].isDigit() || s[i] == u'.'))
                ++i;
            out.append({TokKind::Number, s.mid(start, i - start), start});
        } else if (c.isLetter() || c == u'_') {
            const int start = i++;
            while (i < n && (s[i].isLetterOrNumber() || s[i] == u'_'))
                ++i;
            out.append({TokKind::Ident, s.mid(start, i - start), start});
        } else {
            Reject(s, i, QStringLiteral("недопустимый знак '%1'").arg(c));
        }
    }
    out.append({TokKind::End, QString(), int(n)});
    return out;
}

class Parser {
public:
    Parser(const QString& expr, const std::function<QString(const QString&)>& column)
        : Expr(expr), Tokens(Tokenize(expr)), Column(column) {}

    TSqlFilter Run() {
        TSqlFilter f;
        if (Peek().Kind == TokKind::End) return f;
        f.Where = Expression();
        if (Peek().Kind != TokKind::End) Reject(Expr, Peek().Pos, QStringLiteral("лишний текст"));
        f.Binds = Binds;
        return f;
    }

private:
    const Token& Peek() const { return Tokens[Index]; }
    Token Take() { return Tokens[Index++]; }
    bool IsWord(const Token& t, const char* word) const {
        return t.Kind == TokKind::Ident &&
               t.Text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    QString Expression() {
        QString sql = Term();
        while (IsWord(Peek(), "and") || IsWord(Peek(), "or")) {
            const QString op = Take().Text.toUpper();
            sql += u' ' + op + u' ' + Term();
        }
        return sql;
    }

    // Enters one level of brackets or NOT, refusing to go deeper than MaxNesting.
    struct TNest {
        Parser& P;
        TNest(Parser& p, const Token& at) : P(p) {
            if (++P.Depth > MaxNesting)
                Reject(P.Expr, at.Pos,
                       QStringLiteral("слишком глубокая вложенность (больше %1)").arg(MaxNesting));
        }
        ~TNest() { --P.Depth; }
    };

    QString Term() {
        const Token t = Take();
        if (IsWord(t, "not")) {
            TNest nest(*this, t);
            return QStringLiteral("NOT ") + Term();
        }
        if (t.Kind == TokKind::LParen) {
            TNest nest(*this, t);
            const QString inner = Expression();
            if (Take().Kind != TokKind::RParen)
                Reject(Expr, Tokens[Index - 1].Pos, QStringLiteral("ожидалась ')'"));
            return u'(' + inner + u')';
        }
        if (t.Kind != TokKind::Ident || IsWord(t, "and") || IsWord(t, "or") || IsWord(t, "null"))
            Reject(Expr, t.Pos, QStringLiteral("ожидалось имя поля"));
        const QString field = Column(t.Text);

        if (IsWord(Peek(), "is")) {
            Take();
            bool negated = false;
            if (IsWord(Peek(), "not")) {
                Take();
                negated = true;
            }
            if (!IsWord(Take(), "null"))
                Reject(Expr, Tokens[Index - 1].Pos, QStringLiteral("ожидалось NULL"));
            return field + (negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
        }

        QString op;
        if (Peek().Kind == TokKind::Op)
            op = Take().Text;
        else if (IsWord(Peek(), "like"))
            op = (Take(), QStringLiteral("LIKE"));
        else
            Reject(Expr, Peek().Pos, QStringLiteral("ожидался знак сравнения"));

        const Token v = Take();
        switch (v.Kind) {
        case TokKind::Number: {
            bool ok = false;
            const qlonglong i = v.Text.toLongLong(&ok);
            Binds.append(ok ? QVariant(i) : QVariant(v.Text.toDouble()));
            break;
        }
        case TokKind::String:
            Binds.append(v.Text);
            break;
        case TokKind::Ident:
            if (IsWord(v, "null")) {
                // "= NULL" is accepted and, as in SQL, true for no row.
                Binds.append(QVariant());
                break;
            }
            [[fallthrough]];
        default:
            Reject(Expr, v.Pos, QStringLiteral("ожидалось значение"));
        }
        return field + u' ' + op + QStringLiteral(" ?");
    }

    QString Expr;
    QList<Token> Tokens;
    int Index = 0;
    int Depth = 0;
    std::function<QString(const QString&)> Column;
    QVariantList Binds;
};

} // namespace

TSqlFilter TranslateFilter(const QString& expression,
                           const std::function<QString(const QString&)>& column) {
    return Parser(expression, column).Run();
}

QString QuotedFilterValue(const QString& text) {
    QString doubled = text;
    doubled.replace(u'\'', QStringLiteral("''"));
    return u'\'' + doubled + u'\'';
}
