#include "Unit2.h"
#include "DataErrors.h"
#include "FilterExpr.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QUrl>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

TDataModule2* DataModule2 = nullptr;

namespace {

// The field sizes are those the windows and the journal were laid out for; SQLite keeps the
// declared type only as a hint.
const char* const SchemaStatements[] = {
    "CREATE TABLE razdel (kod_razdel INTEGER PRIMARY KEY, razdel VARCHAR(150))",
    "CREATE TABLE Tema (kod_tema INTEGER PRIMARY KEY AUTOINCREMENT, kod_razdel INTEGER, tema VARCHAR(50))",
    "CREATE TABLE tip (kod_tip INTEGER PRIMARY KEY, tip VARCHAR(150))",
    "CREATE TABLE urok (kod_uroka INTEGER PRIMARY KEY AUTOINCREMENT, urok VARCHAR(150), htm VARCHAR(150),"
    " jpg VARCHAR(150), wav VARCHAR(150), mid VARCHAR(150), tip VARCHAR(50), kod_tip INTEGER,"
    " kod_tema INTEGER, avi VARCHAR(150), test VARCHAR(150), kod_razdel INTEGER, exe VARCHAR(150))",
    "CREATE TABLE gruppa (gruppa VARCHAR(255))",
    "CREATE TABLE fio (kod_fio INTEGER PRIMARY KEY, fio VARCHAR(255), gruppa VARCHAR(255))",
    "CREATE TABLE jurnal (tema VARCHAR(50), urok VARCHAR(50), data DATETIME, ocenka INTEGER,"
    " fio VARCHAR(50), gruppa VARCHAR(50))",
    "CREATE TABLE pas (pas VARCHAR(255))",
};

QString NewConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("coursebook-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

void CreateLessonSchema(const QString& connectionName)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    QSqlQuery q(db);
    for (const char* sql : SchemaStatements) {
        if (!q.exec(QString::fromLatin1(sql)))
            throw EDatabaseError(QStringLiteral("Не удалось создать таблицу: ") + q.lastError().text());
    }
}

namespace {
QString ChosenDatabasePath;
} // namespace

void TDataModule2::SetDatabasePath(const QString& path) { ChosenDatabasePath = path; }

QString TDataModule2::DatabasePath()
{
    return ChosenDatabasePath.isEmpty() ? QString::fromLatin1(DatabaseFile) : ChosenDatabasePath;
}

TDataModule2::TDataModule2(QObject* parent) : QObject(parent), Connection(NewConnectionName())
{
    setObjectName(QStringLiteral("DataModule2"));
    Trazdel = new TTable(Connection, QStringLiteral("razdel"), this);
    TTema = new TTable(Connection, QStringLiteral("Tema"), this);
    Ttip = new TTable(Connection, QStringLiteral("tip"), this);
    Turok = new TTable(Connection, QStringLiteral("urok"), this);
    tgruppa = new TTable(Connection, QStringLiteral("gruppa"), this);
    TFio = new TTable(Connection, QStringLiteral("fio"), this);
    Tjurnal = new TTable(Connection, QStringLiteral("jurnal"), this);
    Tpas = new TTable(Connection, QStringLiteral("pas"), this);

    TTema->AddLookupField(QStringLiteral("razdel"), QStringLiteral("kod_razdel"), QStringLiteral("razdel"),
                          QStringLiteral("kod_razdel"), QStringLiteral("razdel"));
    Turok->AddLookupField(QStringLiteral("razdel"), QStringLiteral("kod_razdel"), QStringLiteral("razdel"),
                          QStringLiteral("kod_razdel"), QStringLiteral("razdel"));
    Turok->AddLookupField(QStringLiteral("tema"), QStringLiteral("kod_tema"), QStringLiteral("Tema"),
                          QStringLiteral("kod_tema"), QStringLiteral("tema"));
    Turok->AddLookupField(QStringLiteral("tip_uroka"), QStringLiteral("kod_tip"), QStringLiteral("tip"),
                          QStringLiteral("kod_tip"), QStringLiteral("tip"));

    Trazdel->SetAutoKey(QStringLiteral("kod_razdel"));
    Ttip->SetAutoKey(QStringLiteral("kod_tip"));
    TFio->SetAutoKey(QStringLiteral("kod_fio"));

    // A section, topic or lesson type that lessons still belong to is not deleted: its lessons
    // would vanish from the browser's lists and their journal names would point nowhere.
    Trazdel->BeforeDelete = [this] {
        RefuseDeleteWhileUsed(QStringLiteral("раздел \u00ab%1\u00bb: к нему").arg(Trazdel->FieldText(QStringLiteral("razdel"))),
                              {{QStringLiteral("Tema"), QStringLiteral("тем")}, {QStringLiteral("urok"), QStringLiteral("уроков")}},
                              QStringLiteral("kod_razdel"), Trazdel->FieldValue(QStringLiteral("kod_razdel")));
    };
    TTema->BeforeDelete = [this] {
        RefuseDeleteWhileUsed(QStringLiteral("тему \u00ab%1\u00bb: к ней").arg(TTema->FieldText(QStringLiteral("tema"))),
                              {{QStringLiteral("urok"), QStringLiteral("уроков")}}, QStringLiteral("kod_tema"),
                              TTema->FieldValue(QStringLiteral("kod_tema")));
    };
    Ttip->BeforeDelete = [this] {
        RefuseDeleteWhileUsed(QStringLiteral("тип урока \u00ab%1\u00bb: к нему").arg(Ttip->FieldText(QStringLiteral("tip"))),
                              {{QStringLiteral("urok"), QStringLiteral("уроков")}}, QStringLiteral("kod_tip"),
                              Ttip->FieldValue(QStringLiteral("kod_tip")));
    };

    try {
        DataModuleCreate();
    } catch (...) {
        DataModuleDestroy();
        throw;
    }
}

TDataModule2::~TDataModule2()
{
    DataModuleDestroy();
}

QList<TTable*> TDataModule2::OpenOrder() const
{
    return {Trazdel, Ttip, Turok, TTema, tgruppa, TFio, Tjurnal, Tpas};
}

void TDataModule2::DataModuleCreate()
{
    // SQLite would quietly create an empty file under a missing name; the lesson database must
    // exist, so the file is opened read-write without "create". A relative name is taken in the
    // working directory at the moment of connecting.
    const QFileInfo file(DatabasePath());
    if (!file.isFile())
        throw EDatabaseError(QStringLiteral("Файл базы данных \"%1\" не найден в папке \"%2\"")
                                 .arg(file.fileName(), file.absolutePath()));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Connection);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    db.setDatabaseName(QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
    if (!db.open())
        throw EDatabaseError(QStringLiteral("Не удалось открыть базу данных: ") + ReasonOf(db.lastError()),
                             FaultOf(db.lastError()));
    // SQLite reads the file only when asked for something: read its catalogue now, so that a
    // file that is not a database (or a damaged one) is reported as such and not as a database
    // without the lesson tables.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        const TDbFault fault = FaultOf(probe.lastError());
        const QString where = file.absoluteFilePath();
        if (fault == TDbFault::NotADatabase)
            throw EDatabaseError(QStringLiteral("Файл \"%1\" не является базой данных").arg(where), fault);
        throw EDatabaseError(QStringLiteral("Не удалось прочитать базу данных \"%1\": %2").arg(where, ReasonOf(probe.lastError())),
                             fault);
    }
    probe.finish();
    for (TTable* t : OpenOrder())
        t->Open();
}

void TDataModule2::DataModuleDestroy()
{
    for (TTable* t : OpenOrder())
        t->Close();
    if (QSqlDatabase::contains(Connection)) {
        QSqlDatabase::database(Connection, false).close();
        QSqlDatabase::removeDatabase(Connection);
    }
}

void TDataModule2::AppendJournal(const QString& tema, const QString& urok, const QString& fio,
                                 const QString& gruppa, int ocenka, const QDate& day)
{
    Tjurnal->Append();
    try {
        Tjurnal->SetFieldValue(QStringLiteral("data"), day.toString(Qt::ISODate));
        Tjurnal->SetFieldValue(QStringLiteral("fio"), fio);
        Tjurnal->SetFieldValue(QStringLiteral("gruppa"), gruppa);
        Tjurnal->SetFieldValue(QStringLiteral("tema"), tema);
        Tjurnal->SetFieldValue(QStringLiteral("urok"), urok);
        Tjurnal->SetFieldValue(QStringLiteral("ocenka"), ocenka);
        Tjurnal->Post();
    } catch (...) {
        Tjurnal->Cancel();
        throw;
    }
}

void TDataModule2::RefuseDeleteWhileUsed(const QString& what, const QList<QPair<QString, QString>>& users,
                                         const QString& keyField, const QVariant& key) const
{
    if (key.isNull())
        return;
    QStringList found;
    QSqlQuery q(QSqlDatabase::database(Connection, false));
    for (const auto& [table, noun] : users) {
        if (!q.prepare(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE %2 = ?").arg(table, keyField)))
            throw EDatabaseError(ReasonOf(q.lastError()), FaultOf(q.lastError()));
        q.addBindValue(key);
        if (!q.exec() || !q.next())
            throw EDatabaseError(ReasonOf(q.lastError()), FaultOf(q.lastError()));
        if (const int n = q.value(0).toInt(); n > 0)
            found << QStringLiteral("%1: %2").arg(noun).arg(n);
        q.finish();
    }
    if (!found.isEmpty())
        throw EDatabaseError(QStringLiteral("Нельзя удалить %1 относятся записи (%2). "
                                            "Сначала удалите их или перенесите.")
                                 .arg(what, found.join(QStringLiteral(", "))));
}

QVariant TDataModule2::SectionOfTopic(const QVariant& topic) const
{
    QSqlQuery q(QSqlDatabase::database(Connection, false));
    if (!q.prepare(QStringLiteral("SELECT kod_razdel FROM \"Tema\" WHERE kod_tema = ?")))
        throw EDatabaseError(ReasonOf(q.lastError()), FaultOf(q.lastError()));
    q.addBindValue(topic);
    if (!q.exec())
        throw EDatabaseError(ReasonOf(q.lastError()), FaultOf(q.lastError()));
    return q.next() ? q.value(0) : QVariant();
}

QString TDataModule2::JournalFilter(const QString& fio, const QString& gruppa)
{
    QString filter;
    if (!fio.isEmpty())
        filter = QStringLiteral("fio=") + QuotedFilterValue(fio);
    if (!gruppa.isEmpty()) {
        if (!filter.isEmpty())
            filter += QStringLiteral(" and ");
        filter += QStringLiteral("gruppa=") + QuotedFilterValue(gruppa);
    }
    return filter;
}
