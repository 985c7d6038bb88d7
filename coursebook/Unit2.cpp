#include "Unit2.h"
#include "DataErrors.h"
#include "FilterExpr.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QUrl>

TDataModule2* DataModule2 = nullptr;

namespace {

QString NewConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("coursebook-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

namespace {
QString ChosenDatabasePath;
TServerSettings ChosenServer;
QString ChosenQueuePath;
int RetryInterval = 15000;
} // namespace

void TDataModule2::SetDatabasePath(const QString& path) {
    ChosenDatabasePath = path;
}
void TDataModule2::SetServer(const TServerSettings& server) {
    ChosenServer = server;
}
TServerSettings TDataModule2::Server() {
    return ChosenServer;
}
void TDataModule2::SetJournalQueuePath(const QString& path) {
    ChosenQueuePath = path;
}
void TDataModule2::SetJournalRetryInterval(int milliseconds) {
    RetryInterval = milliseconds;
}

bool TDataModule2::ChooseDatabase(const TInstallation& installation, const TServerSettings& server,
                                  QString* error) {
    SetServer(server);
    if (server.Configured())
        return true; // the journal is the class's: no copy of the course database is made
    const QString database = PrepareCourseDatabase(installation, error);
    if (database.isEmpty()) return false;
    SetDatabasePath(database);
    return true;
}

QString TDataModule2::DatabasePath() {
    return ChosenDatabasePath.isEmpty() ? QString::fromLatin1(DatabaseFile) : ChosenDatabasePath;
}

TDataModule2::TDataModule2(QObject* parent) : QObject(parent), Connection(NewConnectionName()) {
    setObjectName(QStringLiteral("DataModule2"));
    Trazdel = new TTable(Connection, QStringLiteral("razdel"), this);
    TTema = new TTable(Connection, QStringLiteral("Tema"), this);
    Ttip = new TTable(Connection, QStringLiteral("tip"), this);
    Turok = new TTable(Connection, QStringLiteral("urok"), this);
    tgruppa = new TTable(Connection, QStringLiteral("gruppa"), this);
    TFio = new TTable(Connection, QStringLiteral("fio"), this);
    Tjurnal = new TTable(Connection, QStringLiteral("jurnal"), this);
    Tpas = new TTable(Connection, QStringLiteral("pas"), this);

    TTema->AddLookupField(QStringLiteral("razdel"), QStringLiteral("kod_razdel"),
                          QStringLiteral("razdel"), QStringLiteral("kod_razdel"),
                          QStringLiteral("razdel"));
    Turok->AddLookupField(QStringLiteral("razdel"), QStringLiteral("kod_razdel"),
                          QStringLiteral("razdel"), QStringLiteral("kod_razdel"),
                          QStringLiteral("razdel"));
    Turok->AddLookupField(QStringLiteral("tema"), QStringLiteral("kod_tema"),
                          QStringLiteral("Tema"), QStringLiteral("kod_tema"),
                          QStringLiteral("tema"));
    Turok->AddLookupField(QStringLiteral("tip_uroka"), QStringLiteral("kod_tip"),
                          QStringLiteral("tip"), QStringLiteral("kod_tip"), QStringLiteral("tip"));

    Trazdel->SetAutoKey(QStringLiteral("kod_razdel"));
    Ttip->SetAutoKey(QStringLiteral("kod_tip"));
    TFio->SetAutoKey(QStringLiteral("kod_fio"));

    // A section, topic or lesson type that lessons still belong to is not deleted: its lessons
    // would vanish from the browser's lists and their journal names would point nowhere.
    Trazdel->BeforeDelete = [this] {
        RefuseDeleteWhileUsed(QStringLiteral("раздел \u00ab%1\u00bb: к нему")
                                  .arg(Trazdel->FieldText(QStringLiteral("razdel"))),
                              {{QStringLiteral("Tema"), QStringLiteral("тем")},
                               {QStringLiteral("urok"), QStringLiteral("уроков")}},
                              QStringLiteral("kod_razdel"),
                              Trazdel->FieldValue(QStringLiteral("kod_razdel")));
    };
    TTema->BeforeDelete = [this] {
        RefuseDeleteWhileUsed(QStringLiteral("тему \u00ab%1\u00bb: к ней")
                                  .arg(TTema->FieldText(QStringLiteral("tema"))),
                              {{QStringLiteral("urok"), QStringLiteral("уроков")}},
                              QStringLiteral("kod_tema"),
                              TTema->FieldValue(QStringLiteral("kod_tema")));
    };
    Ttip->BeforeDelete = [this] {
        RefuseDeleteWhileUsed(QStringLiteral("тип урока \u00ab%1\u00bb: к нему")
                                  .arg(Ttip->FieldText(QStringLiteral("tip"))),
                              {{QStringLiteral("urok"), QStringLiteral("уроков")}},
                              QStringLiteral("kod_tip"),
                              Ttip->FieldValue(QStringLiteral("kod_tip")));
    };

    try {
        DataModuleCreate();
    } catch (...) {
        DataModuleDestroy();
        throw;
    }
}

TDataModule2::~TDataModule2() {
    DataModuleDestroy();
}

QList<TTable*> TDataModule2::OpenOrder() const {
    return {Trazdel, Ttip, Turok, TTema, tgruppa, TFio, Tjurnal, Tpas};
}

void TDataModule2::DataModuleCreate() {
    if (ChosenServer.Configured()) {
        OpenServerConnection(Connection, ChosenServer);
        if (ExistingLessonTables(Connection).isEmpty())
            throw EDatabaseError(
                QStringLiteral("В базе данных %1 нет таблиц курса. Создайте их и загрузите курс "
                               "командой\n  coursebook --init-db")
                    .arg(ChosenServer.Display()));
        Target = ChosenServer.Target();
    } else {
        OpenFile();
    }
    const QList<TTable*> course{Trazdel, Ttip, Turok, TTema};
    for (TTable* t : OpenOrder()) {
        try {
            t->Open();
        } catch (const EDatabaseError& e) {
            if (e.Fault() != TDbFault::Denied || course.contains(t)) throw;
        }
    }
    if (OnServer()) {
        Queue = std::make_unique<TJournalQueue>(
            ChosenQueuePath.isEmpty() ? TJournalQueue::DefaultPath() : ChosenQueuePath);
        RetryTimer = new QTimer(this);
        RetryTimer->setInterval(RetryInterval);
        connect(RetryTimer, &QTimer::timeout, this, [this] { FlushJournal(); });
        // Rows left waiting by an earlier run go first.
        if (Queue->Count(Target) > 0) FlushJournal();
    }
}

void TDataModule2::OpenFile() {
    // SQLite would quietly create an empty file under a missing name; the lesson database must
    // exist, so the file is opened read-write without "create". A relative name is taken in the
    // working directory at the moment of connecting.
    const QFileInfo file(DatabasePath());
    if (!file.isFile())
        throw EDatabaseError(QStringLiteral("Файл базы данных \"%1\" не найден в папке \"%2\"")
                                 .arg(file.fileName(), file.absolutePath()));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Connection);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    db.setDatabaseName(QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded) +
                       QStringLiteral("?mode=rw"));
    if (!db.open())
        throw EDatabaseError(QStringLiteral("Не удалось открыть базу данных: ") +
                                 ReasonOf(db.lastError()),
                             FaultOf(db.lastError()));
    // SQLite reads the file only when asked for something: read its catalogue now, so that a
    // file that is not a database (or a damaged one) is reported as such and not as a database
    // without the lesson tables.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        const TDbFault fault = FaultOf(probe.lastError());
        const QString where = file.absoluteFilePath();
        if (fault == TDbFault::NotADatabase)
            throw EDatabaseError(QStringLiteral("Файл \"%1\" не является базой данных").arg(where),
                                 fault);
        throw EDatabaseError(QStringLiteral("Не удалось прочитать базу данных \"%1\": %2")
                                 .arg(where, ReasonOf(probe.lastError())),
                             fault);
    }
}

void TDataModule2::DataModuleDestroy() {
    if (RetryTimer) RetryTimer->stop();
    Queue.reset();
    for (TTable* t : OpenOrder())
        t->Close();
    if (QSqlDatabase::contains(Connection)) {
        QSqlDatabase::database(Connection, false).close();
        QSqlDatabase::removeDatabase(Connection);
    }
}

void TDataModule2::InsertJournal(const TJournalEntry& e, bool inTransaction) {
    // Written as it is, without reading the journal back: a student's user may add rows to the
    // journal but not read it.
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    // Inside a transaction a new connection would write the row outside it, and the commit
    // that follows would find nothing to commit: the rows before it would be lost.
    if (!inTransaction) EnsureConnected(db);
    QSqlQuery q(db);
    const QString what = QStringLiteral("Не удалось записать журнал");
    if (!q.prepare(QStringLiteral("INSERT INTO jurnal (tema, urok, data, ocenka, fio, gruppa) "
                                  "VALUES (?, ?, ?, ?, ?, ?)")))
        FailChange(db, what, q.lastError());
    for (const QVariant& v :
         QVariantList{e.Tema, e.Urok, e.Day.toString(Qt::ISODate), e.Ocenka, e.Fio, e.Gruppa})
        q.addBindValue(v);
    if (!q.exec()) FailChange(db, what, q.lastError());
}

void TDataModule2::RefreshJournal() {
    // The journal's view follows its new rows, unless a row of it is being edited.
    if (Tjurnal->State() == TDataSetState::dsBrowse) Tjurnal->Refresh();
}

TJournalWrite TDataModule2::AppendJournal(const QString& tema, const QString& urok,
                                          const QString& fio, const QString& gruppa, int ocenka,
                                          const QDate& day) {
    const TJournalEntry entry{tema, urok, day, ocenka, fio, gruppa};
    if (!OnServer()) {
        InsertJournal(entry);
        RefreshJournal();
        return TJournalWrite::Written;
    }
    // Rows keep their order: while older ones wait, a new one waits behind them. They are
    // tried here only on a connection that still works; the timer tries connecting again.
    int waiting = Queue->Count(Target);
    if (waiting > 0 && !ConnectionLost(QSqlDatabase::database(Connection, false)))
        waiting = FlushJournal();
    if (waiting == 0) {
        try {
            InsertJournal(entry);
            RefreshJournal();
            return TJournalWrite::Written;
        } catch (const EDatabaseError& e) {
            if (e.Fault() != TDbFault::Offline) throw;
        }
    }
    Queue->Add(Target, entry);
    // A server that was back at once (restarted between two lessons) takes the row now.
    if (!ConnectionLost(QSqlDatabase::database(Connection, false)) && FlushJournal() == 0)
        return TJournalWrite::Written;
    RetryTimer->start();
    emit JournalPending(Queue->Count(Target));
    return TJournalWrite::Queued;
}

int TDataModule2::PendingJournal() {
    return Queue ? Queue->Count(Target) : 0;
}

int TDataModule2::FlushJournal() {
    if (!Queue) return 0;
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    int written = 0;
    if (!ConnectionLost(db) || Reconnect(db)) {
        try {
            written = Queue->Flush(Target, [&](const QList<TJournalEntry>& entries) {
                // All of them or none, so that a broken connection halfway leaves no row both
                // written and still waiting.
                if (!db.transaction())
                    FailChange(db, QStringLiteral("Не удалось записать журнал"), db.lastError());
                try {
                    for (const TJournalEntry& e : entries)
                        InsertJournal(e, true);
                    if (!db.commit())
                        FailChange(db, QStringLiteral("Не удалось записать журнал"),
                                   db.lastError());
                } catch (...) {
                    db.rollback();
                    throw;
                }
            });
        } catch (const EDatabaseError&) {
            // They wait for the next try.
        }
    }
    const int left = Queue->Count(Target);
    if (left == 0)
        RetryTimer->stop();
    else if (!RetryTimer->isActive())
        RetryTimer->start();
    if (written > 0 && Tjurnal->Active()) {
        try {
            RefreshJournal();
        } catch (const EDatabaseError&) {
            // The rows are written; the view shows them at its next reading.
        }
    }
    emit JournalPending(left);
    return left;
}

void TDataModule2::RefuseDeleteWhileUsed(const QString& what,
                                         const QList<QPair<QString, QString>>& users,
                                         const QString& keyField, const QVariant& key) const {
    if (key.isNull()) return;
    QStringList found;
    QSqlQuery q(QSqlDatabase::database(Connection, false));
    for (const auto& [table, noun] : users) {
        if (!q.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(table, keyField)))
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

QVariant TDataModule2::SectionOfTopic(const QVariant& topic) const {
    QSqlQuery q(QSqlDatabase::database(Connection, false));
    if (!q.prepare(QStringLiteral("SELECT kod_razdel FROM Tema WHERE kod_tema = ?")))
        throw EDatabaseError(ReasonOf(q.lastError()), FaultOf(q.lastError()));
    q.addBindValue(topic);
    if (!q.exec()) throw EDatabaseError(ReasonOf(q.lastError()), FaultOf(q.lastError()));
    return q.next() ? q.value(0) : QVariant();
}

QString TDataModule2::JournalFilter(const QString& fio, const QString& gruppa) {
    QString filter;
    if (!fio.isEmpty()) filter = QStringLiteral("fio=") + QuotedFilterValue(fio);
    if (!gruppa.isEmpty()) {
        if (!filter.isEmpty()) filter += QStringLiteral(" and ");
        filter += QStringLiteral("gruppa=") + QuotedFilterValue(gruppa);
    }
    return filter;
}
