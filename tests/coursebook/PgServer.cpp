#include "PgServer.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

QString Unique(const char* prefix) {
    static QAtomicInt counter;
    return QStringLiteral("%1_%2_%3_%4")
        .arg(QLatin1String(prefix))
        .arg(getpid())
        .arg(counter.fetchAndAddRelaxed(1))
        .arg(QRandomGenerator::global()->bounded(100000));
}

// A connection of the superuser to `database`, closed when the guard goes.
class TAdmin {
public:
    TAdmin(const QString& host, int port, const QString& user, const QString& password,
           const QString& database)
        : Name(Unique("admin")) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), Name);
        db.setHostName(host);
        db.setPort(port);
        db.setUserName(user);
        db.setPassword(password);
        db.setDatabaseName(database);
        db.open();
    }
    ~TAdmin() {
        QSqlDatabase::database(Name, false).close();
        QSqlDatabase::removeDatabase(Name);
    }
    QSqlDatabase Db() const { return QSqlDatabase::database(Name, false); }

private:
    QString Name;
};

const QString ScriptPath = QStringLiteral(VEXILO_SOURCE_DIR "/scripts/test-pgserver");

} // namespace

TPgServer::TPgServer() : Own(true) {
    State = Scratch.filePath(QStringLiteral("state"));
    if (Script(QStringLiteral("start"))) ReadState();
}

TPgServer::TPgServer(const QString& sharedState) : State(sharedState) {
    ReadState();
}

TPgServer::~TPgServer() {
    // A server of the test's own goes whole; on the shared one the test's databases and roles
    // are dropped while the program can still talk to it.
    if (Running() && !Own && QCoreApplication::instance()) {
        for (const QString& db : Databases)
            Exec(QStringLiteral("postgres"),
                 QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(db));
        for (const QString& role : Logins)
            Exec(QStringLiteral("postgres"), QStringLiteral("DROP ROLE IF EXISTS %1").arg(role));
    }
    if (Own) {
        // Also at the process's end, when no event loop is left to run a QProcess.
        const QByteArray command =
            (QStringLiteral("'%1' stop '%2'").arg(ScriptPath, State)).toLocal8Bit();
        std::system(command.constData());
    }
}

TPgServer& TPgServer::Shared() {
    static std::unique_ptr<TPgServer> server = [] {
        const QString shared = QStringLiteral(VEXILO_PGTEST_STATE);
        if (QFileInfo::exists(shared + QStringLiteral("/server.ini")))
            return std::unique_ptr<TPgServer>(new TPgServer(shared));
        return std::make_unique<TPgServer>();
    }();
    return *server;
}

bool TPgServer::Script(const QString& action) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(ScriptPath, {action, State});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        Error =
            QStringLiteral("test-pgserver %1: %2").arg(action, QString::fromLocal8Bit(p.readAll()));
        return false;
    }
    return true;
}

void TPgServer::ReadState() {
    QSettings ini(State + QStringLiteral("/server.ini"), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Server"));
    Host = ini.value(QStringLiteral("Host")).toString();
    Port = ini.value(QStringLiteral("Port")).toInt();
    Admin = ini.value(QStringLiteral("Admin")).toString();
    Password = ini.value(QStringLiteral("Password")).toString();
    if (Port <= 0) Error = QStringLiteral("no server described in %1").arg(State);
    // Every connection of the test, the programs it starts included, finds its passwords here.
    if (qEnvironmentVariableIsEmpty("PGPASSFILE") ||
        !QFileInfo::exists(qEnvironmentVariable("PGPASSFILE")))
        qputenv("PGPASSFILE", Scratch.filePath(QStringLiteral("pgpass")).toLocal8Bit());
    AddPgpass(Admin, Password);
}

void TPgServer::AddPgpass(const QString& user, const QString& password) {
    QFile f(qEnvironmentVariable("PGPASSFILE"));
    if (!f.open(QIODevice::Append | QIODevice::Text)) return;
    f.write(QStringLiteral("%1:%2:*:%3:%4\n").arg(Host).arg(Port).arg(user, password).toUtf8());
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

bool TPgServer::Kill() {
    return Own && Script(QStringLiteral("kill"));
}
bool TPgServer::Resume() {
    return Own && Script(QStringLiteral("resume"));
}

QString TPgServer::CreateDatabase() {
    const QString name = Unique("course");
    QString error;
    if (!Exec(QStringLiteral("postgres"),
              QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(name),
              &error)) {
        Error = error;
        return QString();
    }
    Databases << name;
    return name;
}

QString TPgServer::CreateLoginWithoutPgpass(const QString& group, const QString& password) {
    const QString name =
        Unique(group == QLatin1String("coursebook_teacher") ? "teacher" : "student");
    // The group roles belong to the whole server; whichever test comes first makes them.
    const QString makeGroup =
        QStringLiteral("DO $$ BEGIN CREATE ROLE %1 NOLOGIN; EXCEPTION WHEN duplicate_object "
                       "OR unique_violation THEN NULL; END $$")
            .arg(group);
    const QString makeLogin =
        QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2' IN ROLE %3").arg(name, password, group);
    QString error;
    if (!Exec(QStringLiteral("postgres"), makeGroup, &error) ||
        !Exec(QStringLiteral("postgres"), makeLogin, &error)) {
        Error = error;
        return QString();
    }
    Logins << name;
    return name;
}

QString TPgServer::CreateLogin(const QString& group) {
    const QString password = QString::number(QRandomGenerator::global()->generate64(), 36);
    const QString name = CreateLoginWithoutPgpass(group, password);
    if (!name.isEmpty()) AddPgpass(name, password);
    return name;
}

TServerSettings TPgServer::Settings(const QString& database, const QString& user) const {
    TServerSettings s;
    s.Host = Host;
    s.Port = Port;
    s.Database = database;
    s.User = user;
    return s;
}

bool TPgServer::Exec(const QString& database, const QString& sql, QString* error) const {
    const TAdmin admin(Host, Port, Admin, Password, database);
    QSqlQuery q(admin.Db());
    if (!admin.Db().isOpen() || !q.exec(sql)) {
        if (error)
            *error = admin.Db().isOpen() ? q.lastError().text() : admin.Db().lastError().text();
        return false;
    }
    return true;
}

QList<QVariantList> TPgServer::Rows(const QString& database, const QString& sql) const {
    const TAdmin admin(Host, Port, Admin, Password, database);
    QSqlQuery q(admin.Db());
    QList<QVariantList> rows;
    if (!q.exec(sql)) {
        qWarning() << q.lastError().text() << sql;
        return rows;
    }
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i);
        rows << row;
    }
    return rows;
}

QVariant TPgServer::Scalar(const QString& database, const QString& sql) const {
    const QList<QVariantList> rows = Rows(database, sql);
    return rows.isEmpty() || rows[0].isEmpty() ? QVariant() : rows[0][0];
}
