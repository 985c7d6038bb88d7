#pragma once
// The PostgreSQL server of the coursebook's tests: the one `make test` started for the whole run
// (scripts/test-pgserver, its state in the build's pgtest folder), or, for a test binary run by
// hand, a server of the test's own, stopped when the test ends. Tests that stop and start a
// server make one of their own.
#include "ServerConnection.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

class TPgServer {
public:
    // Starts a server of its own (stopped by the destructor).
    TPgServer();
    ~TPgServer();
    TPgServer(const TPgServer&) = delete;
    TPgServer& operator=(const TPgServer&) = delete;

    static TPgServer& Shared();

    bool Running() const { return Port > 0; }
    QString Failure() const { return Error; }

    // A crash of the server (clients lose their connections), and its start again.
    bool Kill();
    bool Resume();

    // A new empty database owned by the superuser; dropped with the server object.
    QString CreateDatabase();
    // A new log-in role in the group ("coursebook_student" or "coursebook_teacher"), whose
    // password the pgpass file of the test ($PGPASSFILE) gives.
    QString CreateLogin(const QString& group);
    // A log-in role whose password is nowhere written down.
    QString CreateLoginWithoutPgpass(const QString& group, const QString& password);

    TServerSettings Settings(const QString& database, const QString& user) const;
    QString AdminUser() const { return Admin; }

    // Runs SQL as the superuser in `database`; false (and the server's words in `error`) when
    // refused.
    bool Exec(const QString& database, const QString& sql, QString* error = nullptr) const;
    QVariant Scalar(const QString& database, const QString& sql) const;
    QList<QVariantList> Rows(const QString& database, const QString& sql) const;

private:
    explicit TPgServer(const QString& sharedState);
    bool Script(const QString& action);
    void ReadState();
    void AddPgpass(const QString& user, const QString& password);

    QString State;
    bool Own = false;
    QTemporaryDir Scratch; // own state, the pgpass file
    QString Host;
    int Port = 0;
    QString Admin;
    QString Password;
    QString Error;
    QStringList Databases;
    QStringList Logins;
};
