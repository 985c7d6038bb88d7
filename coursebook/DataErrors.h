#pragma once
#include <QString>
#include <stdexcept>

class QSqlDatabase;
class QSqlError;

// What kind of failure the database reported, where the windows answer some kinds in their own
// way (a journal that cannot be written is said once, not at every lesson; a visit that finds
// the server gone waits on this computer).
//   Denied     the server refused the action to this user (a student changing a lesson)
//   Duplicate  a row with the same key exists already
//   Offline    the server cannot be reached, or the connection to it broke
enum class TDbFault {
    Other,
    ReadOnly,
    NotADatabase,
    Corrupt,
    Busy,
    Full,
    Denied,
    Duplicate,
    Offline
};

// A failure of the database layer: a file that is not there or not a database, a filter
// expression it cannot read, a row it cannot store. It carries the text the user sees in the
// error report, so it is built from a QString and kept as UTF-8.
class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString& text, TDbFault fault = TDbFault::Other)
        : std::runtime_error(text.toStdString()), Kind(fault) {}
    QString Text() const { return QString::fromUtf8(what()); }
    TDbFault Fault() const { return Kind; }

private:
    TDbFault Kind;
};

// The kind of a driver's error, from its native code (SQLite's result code, PostgreSQL's
// SQLSTATE).
TDbFault FaultOf(const QSqlError& error);
// The user's reading of a driver's error: the known kinds in Russian, anything else as the
// driver put it.
QString ReasonOf(const QSqlError& error);

// Throws the failure of a change (`what`: which change) the database reported. When a server
// connection broke underneath it, nobody can tell whether the server received the change: the
// connection is made again for what comes next, and the failure has the fault Offline.
[[noreturn]] void FailChange(QSqlDatabase db, const QString& what, const QSqlError& error);
