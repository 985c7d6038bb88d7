#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <functional>

// One row of the journal as the coursebook writes it: a lesson visit (grade 0) or a finished
// test (the result in percent), dated with the day it happened.
struct TJournalEntry {
    QString Tema;
    QString Urok;
    QDate Day;
    int Ocenka = 0;
    QString Fio;
    QString Gruppa;
};

// Journal rows that found the class server unreachable, kept on this computer until the server
// takes them: a small SQLite file of the user's, each row with the server it belongs to and the
// day it happened. Several coursebooks of one user may share the file; each takes the waiting
// rows inside one write transaction of the file, so no two of them write the same row.
class TJournalQueue {
public:
    explicit TJournalQueue(const QString& path);
    ~TJournalQueue();
    TJournalQueue(const TJournalQueue&) = delete;
    TJournalQueue& operator=(const TJournalQueue&) = delete;

    // <user data>/vexilo/journal-queue.sqlite
    static QString DefaultPath();
    QString Path() const { return File; }

    // Keeps a row for `target` (the server's "host:port/database"). Throws EDatabaseError when
    // the file cannot be written.
    void Add(const QString& target, const TJournalEntry& entry);
    // How many rows wait for `target`; 0 without a file.
    int Count(const QString& target);
    // Hands the rows waiting for `target`, oldest first, to `write` and forgets them once it
    // returns; when it throws they stay, and the exception goes on. Returns how many were written.
    int Flush(const QString& target, const std::function<void(const QList<TJournalEntry>&)>& write);

private:
    bool Open(bool create);
    QString File;
    QString Connection;
};
