// Not a test: a student's coursebook reduced to its journal, for the tests that run several at
// once. It connects the way the coursebook does and writes COUNT visits, one per "lesson".
//
//   journal_writer (--server SETTINGS.ini | --file FOLDER) NAME COUNT QUEUE [GO]
//
// With GO it first says "ready" and waits until the file GO exists, so that two writers start
// together. Prints "written N queued M".
#include "Unit2.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 6) {
        std::fputs("usage: journal_writer (--server INI | --file FOLDER) NAME COUNT QUEUE [GO]\n",
                   stderr);
        return 2;
    }
    if (a[1] == QLatin1String("--server")) {
        SetServerSettingsFile(a[2]);
        TDataModule2::SetServer(ReadServerSettings());
    } else {
        QDir::setCurrent(a[2]);
    }
    const QString name = a[3];
    const int count = a[4].toInt();
    TDataModule2::SetJournalQueuePath(a[5]);
    try {
        TDataModule2 data;
        if (a.size() > 6) {
            std::puts("ready");
            std::fflush(stdout);
            while (!QFileInfo::exists(a[6]))
                QThread::msleep(5);
        }
        int written = 0, queued = 0;
        for (int i = 1; i <= count; ++i) {
            const TJournalWrite w = data.AppendJournal(
                QStringLiteral("Закон Ома"), QStringLiteral("Урок %1").arg(i), name,
                QStringLiteral("ЭТ-11"), 0, QDate(2024, 9, 1).addDays(i % 30));
            (w == TJournalWrite::Written ? written : queued) += 1;
        }
        std::printf("written %d queued %d\n", written, queued);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "journal_writer: %s\n", e.what());
        return 1;
    }
    return 0;
}
