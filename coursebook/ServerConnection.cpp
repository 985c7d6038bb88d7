#include "ServerConnection.h"
#include "DataErrors.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <libpq-fe.h>
#include <memory>

namespace {

QString ChosenSettingsFile;
TPasswordPrompt Prompt;

// How the connection behaves on a school network: a server that does not answer is given up
// after a few seconds rather than freezing the lesson, and a connection whose server vanished
// is noticed within half a minute even while nothing is sent.
const char* const ConnectOptions = "connect_timeout=8;application_name=coursebook;keepalives=1;"
                                   "keepalives_idle=20;keepalives_interval=5;keepalives_count=3;"
                                   "tcp_user_timeout=15000";

std::unique_ptr<QSettings> OpenSettings() {
    if (!ChosenSettingsFile.isEmpty())
        return std::make_unique<QSettings>(ChosenSettingsFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("vexilo"), QStringLiteral("coursebook"));
}

struct TPgConnFree {
    void operator()(PGconn* c) const { PQfinish(c); }
};
using TPgConn = std::unique_ptr<PGconn, TPgConnFree>;

// One connection attempt with libpq itself, which reads ~/.pgpass as the program's own
// connection will, and says precisely whether a password was what was missing.
TPgConn TryConnect(const TServerSettings& s, const std::optional<QString>& password) {
    QList<QByteArray> keys, values;
    auto add = [&](const char* key, const QString& value) {
        if (!value.isEmpty()) {
            keys << key;
            values << value.toUtf8();
        }
    };
    add("host", s.Host);
    add("port", QString::number(s.Port));
    add("dbname", s.Database);
    add("user", s.User);
    add("connect_timeout", QStringLiteral("8"));
    add("application_name", QStringLiteral("coursebook"));
    if (password) add("password", *password);
    std::vector<const char*> k, v;
    for (int i = 0; i < keys.size(); ++i) {
        k.push_back(keys[i].constData());
        v.push_back(values[i].constData());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);
    return TPgConn(PQconnectdbParams(k.data(), v.data(), 0));
}

QString MessageOf(PGconn* c) {
    return QString::fromUtf8(PQerrorMessage(c)).trimmed();
}

PGconn* HandleOf(const QSqlDatabase& db) {
    if (!db.driver()) return nullptr;
    const QVariant v = db.driver()->handle();
    // The driver hands out libpq's connection; its type is named after the struct behind PGconn.
    if (!v.isValid() ||
        (qstrcmp(v.typeName(), "PGconn*") != 0 && qstrcmp(v.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(v.constData());
}

} // namespace

QString TServerSettings::Display() const {
    const QString host = Host.isEmpty() ? QStringLiteral("localhost") : Host;
    const QString who = User.isEmpty() ? QString() : User + u'@';
    return QStringLiteral("%1%2:%3/%4").arg(who, host).arg(Port).arg(Database);
}

QString TServerSettings::Target() const {
    const QString host = Host.isEmpty() ? QStringLiteral("localhost") : Host;
    return QStringLiteral("%1:%2/%3").arg(host).arg(Port).arg(Database);
}

TServerSettings ReadServerSettings() {
    const std::unique_ptr<QSettings> ini = OpenSettings();
    ini->beginGroup(QStringLiteral("Server"));
    TServerSettings s;
    s.Host = ini->value(QStringLiteral("Host")).toString().trimmed();
    s.Database = ini->value(QStringLiteral("Database")).toString().trimmed();
    s.User = ini->value(QStringLiteral("User")).toString().trimmed();
    const QString port = ini->value(QStringLiteral("Port")).toString().trimmed();
    const QString where = ChosenSettingsFile.isEmpty() ? ini->fileName() : ChosenSettingsFile;
    if (!port.isEmpty()) {
        bool ok = false;
        s.Port = port.toInt(&ok);
        if (!ok || s.Port < 1 || s.Port > 65535)
            throw EDatabaseError(
                QStringLiteral(
                    "В файле настроек \"%1\" порт сервера \"%2\" не является номером порта")
                    .arg(where, port));
    }
    if (s.Database.isEmpty() && (!s.Host.isEmpty() || !s.User.isEmpty() || !port.isEmpty()))
        throw EDatabaseError(
            QStringLiteral(
                "В файле настроек \"%1\" указан сервер, но не указана база данных (Database=)")
                .arg(where));
    return s;
}

QString ServerSettingsFile() {
    return ChosenSettingsFile.isEmpty() ? OpenSettings()->fileName() : ChosenSettingsFile;
}

void SetServerSettingsFile(const QString& path) {
    ChosenSettingsFile = path;
}

void SetPasswordPrompt(TPasswordPrompt prompt) {
    Prompt = std::move(prompt);
}

void OpenServerConnection(const QString& connectionName, const TServerSettings& settings) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        throw EDatabaseError(
            QStringLiteral("Нет драйвера PostgreSQL для Qt (пакет libqt6sql6-psql): "
                           "к серверу %1 подключиться нельзя")
                .arg(settings.Display()));
    std::optional<QString> password;
    QString refusal;
    for (int attempt = 0;; ++attempt) {
        const TPgConn probe = TryConnect(settings, password);
        if (PQstatus(probe.get()) == CONNECTION_OK) break;
        const QString answer = MessageOf(probe.get());
        const bool wantsPassword =
            PQconnectionNeedsPassword(probe.get()) || PQconnectionUsedPassword(probe.get());
        if (!wantsPassword) {
            // Nothing a password would change: no server at that address, no such database.
            throw EDatabaseError(
                QStringLiteral("Не удалось подключиться к серверу базы данных %1: %2")
                    .arg(settings.Display(), answer),
                TDbFault::Offline);
        }
        if (!Prompt || attempt == 3) {
            throw EDatabaseError(QStringLiteral("Сервер базы данных %1 не принял пользователя: %2\n"
                                                "Пароль можно записать в файл ~/.pgpass.")
                                     .arg(settings.Display(), answer),
                                 TDbFault::Denied);
        }
        refusal = password ? answer : QString();
        password = Prompt({settings, refusal});
        if (!password)
            throw EDatabaseError(QStringLiteral("Подключение к серверу базы данных %1 отменено")
                                     .arg(settings.Display()),
                                 TDbFault::Denied);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(settings.Host);
    db.setPort(settings.Port);
    db.setDatabaseName(settings.Database);
    db.setUserName(settings.User);
    if (password) db.setPassword(*password);
    db.setConnectOptions(QString::fromLatin1(ConnectOptions));
    if (!db.open())
        throw EDatabaseError(QStringLiteral("Не удалось подключиться к серверу базы данных %1: %2")
                                 .arg(settings.Display(), db.lastError().text().trimmed()),
                             TDbFault::Offline);
}

bool ConnectionLost(const QSqlDatabase& db) {
    if (!IsServerDatabase(db)) return false;
    PGconn* c = HandleOf(db);
    return !c || PQstatus(c) != CONNECTION_OK;
}

bool Reconnect(QSqlDatabase& db) {
    db.close();
    return db.open();
}

void EnsureConnected(QSqlDatabase db) {
    if (ConnectionLost(db)) Reconnect(db);
}
