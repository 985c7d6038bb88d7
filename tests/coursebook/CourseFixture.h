#pragma once
// A small lesson database written into a temporary folder, which becomes the working directory
// the way the coursebook's program folder is when it starts. The folder keeps the course's files;
// the database is the folder's db1.sqlite, or, while the tests run against a class server, a
// fresh database on the tests' PostgreSQL server that the data module then connects to as a
// teacher.
#include "PgServer.h"
#include "Unit2.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

enum class TBackend { File, Server };

// Which database the tests of this run use (a test binary runs its tests once for each).
inline TBackend& Backend() {
    static TBackend backend = TBackend::File;
    return backend;
}

inline bool OnServer() {
    return Backend() == TBackend::Server;
}

class TCourseFolder {
public:
    TCourseFolder() : Previous(QDir::currentPath()) { QVERIFY(Dir.isValid()); }
    ~TCourseFolder() {
        QDir::setCurrent(Previous);
        if (!Database.isEmpty()) {
            TDataModule2::SetServer(TServerSettings());
            TPgServer::Shared().Exec(
                QStringLiteral("postgres"),
                QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(Database));
        }
    }

    QString Path(const QString& name = QString()) const {
        return name.isEmpty() ? Dir.path() : Dir.filePath(name);
    }

    // Runs the statements on a fresh database with the lesson tables.
    bool CreateDatabase(const QStringList& statements) {
        return OnServer() ? CreateServerDatabase(statements) : CreateFileDatabase(statements);
    }

    // The server database of this folder (empty for a file).
    QString ServerDatabase() const { return Database; }

    void WriteFile(const QString& name, const QByteArray& data) const {
        QDir().mkpath(QFileInfo(Path(name)).absolutePath());
        QFile f(Path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    void Enter() const { QDir::setCurrent(Dir.path()); }

private:
    bool Run(const QString& connection, const QStringList& statements) const {
        bool ok = true;
        CreateLessonSchema(connection);
        QSqlQuery q(QSqlDatabase::database(connection, false));
        for (const QString& s : statements) {
            if (!q.exec(s)) {
                qWarning() << q.lastError().text() << s;
                ok = false;
            }
        }
        SyncServerKeys(connection);
        return ok;
    }

    bool CreateFileDatabase(const QStringList& statements) const {
        const QString connection = QStringLiteral("fixture-") + Dir.path();
        bool ok = true;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(Path(QStringLiteral("db1.sqlite")));
            ok = db.open() && Run(connection, statements);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
        return ok;
    }

    bool CreateServerDatabase(const QStringList& statements) {
        TPgServer& server = TPgServer::Shared();
        if (!server.Running()) {
            qWarning() << "no PostgreSQL server for the tests:" << server.Failure();
            return false;
        }
        Database = server.CreateDatabase();
        static QString teacher; // one teacher for the whole run
        if (teacher.isEmpty()) teacher = server.CreateLogin(QStringLiteral("coursebook_teacher"));
        if (Database.isEmpty() || teacher.isEmpty()) {
            qWarning() << server.Failure();
            return false;
        }
        const TServerSettings admin = server.Settings(Database, server.AdminUser());
        const QString connection = QStringLiteral("fixture-") + Database;
        bool ok = true;
        try {
            OpenServerConnection(connection, admin);
            ok = Run(connection, statements);
        } catch (const std::exception& e) {
            qWarning() << e.what();
            ok = false;
        }
        QSqlDatabase::database(connection, false).close();
        QSqlDatabase::removeDatabase(connection);
        TDataModule2::SetServer(server.Settings(Database, teacher));
        return ok;
    }

    QTemporaryDir Dir;
    QString Previous;
    QString Database;
};

// Runs a test object's tests against the embedded file and then against a class database on
// the server; the number of failures of both.
inline int RunOnBothDatabases(QObject* test, int argc, char** argv) {
    Backend() = TBackend::File;
    int failed = QTest::qExec(test, argc, argv);
    Backend() = TBackend::Server;
    qInfo("The same tests on a class database of the PostgreSQL server:");
    failed += QTest::qExec(test, argc, argv);
    Backend() = TBackend::File;
    return failed;
}
