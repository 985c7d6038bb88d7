#pragma once
#include "Dataset.h"

#include <QDate>
#include <QObject>
#include <QString>

// The lesson database: one connection to "db1.sqlite" in the working directory and one table
// object per table. Every window works on these shared table objects and their current rows.
class TDataModule2 : public QObject {
    Q_OBJECT
public:
    static constexpr const char* DatabaseFile = "db1.sqlite";
    // The file the next data module connects to: DatabaseFile in the working directory unless
    // set otherwise (an installed coursebook keeps each user's copy in the user's data folder).
    static void SetDatabasePath(const QString& path);
    static QString DatabasePath();

    // Connects to the database file and opens the tables. Throws EDatabaseError when the file
    // is missing or is not a lesson database.
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

    // The journal's row for a lesson visit (grade 0) or a finished test (grade in percent).
    void AppendJournal(const QString& tema, const QString& urok, const QString& fio,
                       const QString& gruppa, int ocenka, const QDate& day = QDate::currentDate());

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
    void DataModuleDestroy();
    QList<TTable*> OpenOrder() const;

    QString Connection;
};

// Creates the tables of an empty lesson database (used by the course build and by tests).
void CreateLessonSchema(const QString& connectionName);

extern TDataModule2* DataModule2;
