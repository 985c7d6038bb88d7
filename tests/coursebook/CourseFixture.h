#pragma once
// A small lesson database written into a temporary folder, which becomes the working directory
// the way the coursebook's program folder is when it starts.
#include "Unit2.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class TCourseFolder {
public:
    TCourseFolder() : Previous(QDir::currentPath())
    {
        QVERIFY(Dir.isValid());
    }
    ~TCourseFolder() { QDir::setCurrent(Previous); }

    QString Path(const QString& name = QString()) const
    {
        return name.isEmpty() ? Dir.path() : Dir.filePath(name);
    }

    // Runs the statements on a fresh db1.sqlite with the lesson tables.
    bool CreateDatabase(const QStringList& statements) const
    {
        const QString connection = QStringLiteral("fixture-") + Dir.path();
        bool ok = true;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(Path(QStringLiteral("db1.sqlite")));
            ok = db.open();
            if (ok) {
                CreateLessonSchema(connection);
                QSqlQuery q(db);
                for (const QString& s : statements) {
                    if (!q.exec(s)) {
                        qWarning() << q.lastError().text() << s;
                        ok = false;
                    }
                }
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
        return ok;
    }

    void WriteFile(const QString& name, const QByteArray& data) const
    {
        QDir().mkpath(QFileInfo(Path(name)).absolutePath());
        QFile f(Path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    void Enter() const { QDir::setCurrent(Dir.path()); }

private:
    QTemporaryDir Dir;
    QString Previous;
};
