#pragma once
#include <QString>
#include <QVariantList>
#include <functional>

// The filter expressions of the table objects ("kod_razdel=3", "fio='Ann' and gruppa='A-1'",
// "ocenka=0") are read here and turned into an SQL condition whose values are all bound
// parameters. Typed text therefore never becomes SQL: a value can only be a literal, and an
// expression that is not a filter is refused with EDatabaseError.
//
// Grammar (keywords in any case):
//   expr    := term { (AND | OR) term }
//   term    := NOT term | '(' expr ')' | field op value | field IS [NOT] NULL
//   op      := = | <> | < | > | <= | >= | LIKE
//   value   := number | 'text' (an apostrophe inside is written twice) | NULL
// A comparison with NULL matches no row, as in SQL.
// Brackets and NOT nest at most 64 deep; a deeper expression is refused like any bad one.
struct TSqlFilter {
    QString Where; // empty for an empty expression
    QVariantList Binds;
};

// `column` maps a field name of the expression to its SQL text; it throws for unknown fields.
TSqlFilter TranslateFilter(const QString& expression,
                           const std::function<QString(const QString&)>& column);

// The literal for a typed text inside a filter expression: enclosed in apostrophes, with every
// apostrophe inside doubled, so "O'Brien" stays one value.
QString QuotedFilterValue(const QString& text);
