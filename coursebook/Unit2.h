#pragma once
#include "Dataset.h"
#include "JournalQueue.h"
#include "Schema.h"
#include "ServerConnection.h"
#include "platform/Folders.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <memory>

class QTimer;

// What became of a journal row: written into the journal, or kept on this computer until the
// class server can be reached again.
enum class TJournalWrite { Written, Queued };

// The lesson database: one connection, to "db1.sqlite" in the working directory or to a class
// database on a server, and one table object per table. Every window works on these shared
// table objects and their current rows.
class TDataModule2 : public QObject {
    Q_OBJECT
public:
    static constexpr const char* DatabaseFile = "db1.sqlite";
    // The file the next data module connects to: DatabaseFile in the working directory unless
    // set otherwise (an installed coursebook keeps each user's copy in the user's data folder).
    static void SetDatabasePath(const QString& path);
    static QString DatabasePath();
    // The class server the next data module connects to instead of the file; settings that are
    // not configured (no database) mean the file.
    static void SetServer(const TServerSettings& server);
    static TServerSettings Server();
    // Where journal rows wait while the server cannot be reached (TJournalQueue::DefaultPath
    // unless set), and how often the data module tries the server again meanwhile.
    static void SetJournalQueuePath(const QString& path);
    static void SetJournalRetryInterval(int milliseconds);
    // Where an installed coursebook's database is: the class server when the settings name
    // one, else the user's copy of the course database, made from the installed one at the
    // first start. False, with `error`, when the copy cannot be made.
    static bool ChooseDatabase(const TInstallation& installation, const TServerSettings& server,
                               QString* error);

    // Connects to the database and opens the tables. Throws EDatabaseError when the file is
    // missing or is not a lesson database, or the server cannot be reached or has no course.
    // Tables a server does not let this user read (a student's: the class lists, the journal,
    // the editor's password) stay closed; the course itself must be readable.
    explicit TDataModule2(QObject* parent = nullptr);
    ~TDataModule2() override;

    TTable* Trazdel;
    TTable* TTema;
    TTable* Ttip;
    TTable* Turok;
    TTable* tgruppa;
    TTable* TFio;
    TTable* Tjurnal;
    TTable* Tpas;

    QString ConnectionName() const { return Connection; }
    bool OnServer() const { return !Target.isEmpty(); }

    // The journal's row for a lesson visit (grade 0) or a finished test (grade in percent).
    // A row that finds the class server unreachable waits on this computer, behind any older
    // ones, and is written with its own day when the server is back. Throws EDatabaseError when
    // the database refuses the row (or it could not be kept either).
    TJournalWrite AppendJournal(const QString& tema, const QString& urok, const QString& fio,
                                const QString& gruppa, int ocenka,
                                const QDate& day = QDate::currentDate());
    // How many journal rows wait on this computer for the server.
    int PendingJournal();
    // Writes the waiting rows if the server can be reached (connecting again if need be);
    // returns how many still wait.
    int FlushJournal();

    // The section a topic belongs to; null for an unknown topic.
    QVariant SectionOfTopic(const QVariant& topic) const;

    // "fio='name'" and/or "gruppa='group'", joined by " and "; empty when both are empty.
    // The typed texts are quoted, so an apostrophe in a name filters for that name.
    static QString JournalFilter(const QString& fio, const QString& gruppa);

private:
    // Throws when rows of the `users` tables (table, plural noun) still have `key` in `keyField`.
    void RefuseDeleteWhileUsed(const QString& what, const QList<QPair<QString, QString>>& users,
                               const QString& keyField, const QVariant& key) const;
    void DataModuleCreate();
    void OpenFile();
    void DataModuleDestroy();
    QList<TTable*> OpenOrder() const;
    void InsertJournal(const TJournalEntry& entry, bool inTransaction = false);
    void RefreshJournal();

    QString Connection;
    QString Target; // the server's "host:port/database"; empty for the file
    std::unique_ptr<TJournalQueue> Queue;
    QTimer* RetryTimer = nullptr;

signals:
    // The number of journal rows waiting on this computer changed (or was counted again).
    void JournalPending(int count);
};

extern TDataModule2* DataModule2;
