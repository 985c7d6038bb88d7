#pragma once
#include <QString>
#include <stdexcept>

// A failure of the database layer: a file that is not there or not a database, a filter
// expression it cannot read, a row it cannot store. It carries the text the user sees in the
// error report, so it is built from a QString and kept as UTF-8.
class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromUtf8(what()); }
};
