#pragma once
#include <QString>
#include <functional>
#include <optional>

class QSqlDatabase;

// A class database on a PostgreSQL server, as the coursebook's settings file names it:
//
//   [Server]
//   Host=db.school.example       (empty: the server on this computer, through its socket)
//   Port=5432
//   Database=coursebook
//   User=class11                 (empty: the name of the computer's user)
//
// The settings are read from ~/.config/vexilo/coursebook.ini, key by key falling back to the
// machine's /etc/xdg/vexilo/coursebook.ini, so a school sets the server for every student on a
// machine and a teacher's own file need only name the teacher's user. No password is ever
// kept by the coursebook: it comes from the user's ~/.pgpass (or the file $PGPASSFILE names),
// or the user types it, and it stays in memory for the run.
struct TServerSettings {
    QString Host;
    int Port = 5432;
    QString Database;
    QString User;

    // Without a database the coursebook keeps to its embedded file.
    bool Configured() const { return !Database.isEmpty(); }
    // "user@host:port/database", for messages.
    QString Display() const;
    // "host:port/database": which server a visit waiting on this computer belongs to.
    QString Target() const;
};

// The settings as the files give them. Throws EDatabaseError for a [Server] group that names a
// server but no database, or a port that is not one.
TServerSettings ReadServerSettings();
// The file the user's own settings are read from (for messages).
QString ServerSettingsFile();
// Reads the settings from this one file instead (tests); an empty path restores the usual two.
void SetServerSettingsFile(const QString& path);

// Asked when the server wants a password that ~/.pgpass does not give, or refused the one it
// gave. `Refusal` is empty at the first question and holds the server's answer after a wrong
// password. No answer (std::nullopt) gives up.
struct TPasswordRequest {
    TServerSettings Server;
    QString Refusal;
};
using TPasswordPrompt = std::function<std::optional<QString>(const TPasswordRequest&)>;
// The program installs its window (or the terminal's question); without one nobody is asked.
void SetPasswordPrompt(TPasswordPrompt prompt);

// Adds and opens the connection `connectionName` to the server. Throws EDatabaseError: with the
// fault Offline when the server cannot be reached, Denied when it refuses the user.
void OpenServerConnection(const QString& connectionName, const TServerSettings& settings);

// Whether an open server connection has broken (the server stopped, the network went away).
bool ConnectionLost(const QSqlDatabase& db);
// Connects again with what the connection was opened with; true when it works again.
bool Reconnect(QSqlDatabase& db);
// Before sending anything: a connection known to be broken is made again, since nothing sent
// on it could arrive.
void EnsureConnected(QSqlDatabase db);
