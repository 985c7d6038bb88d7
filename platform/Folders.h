#pragma once
// Where the package's data lies and where a user's own files go.
//
// The data (language files, Labs/, HELP/, the course and the template of its database) is
// looked for in a fixed order: beside the program (the build tree, or a folder copied whole
// onto a machine), then in share/vexilo of the installation. A program folder the user may write
// to keeps the user's files too, as it always did: User/, LOG.LOG, db1.sqlite. Anywhere else
// (an installation under /usr, a read-only share) nothing is written into it: schemes go to a
// "Vexilo" folder in the user's documents folder, LOG.LOG to the user's state folder, and the
// course database is the user's own copy in the user's data folder.

#include <QString>
#include <QStringList>

struct TInstallation {
    QString ProgramFolder; // where the running program lies
    QString DataFolder;    // where its data was found; empty when nowhere
    bool Portable = false; // the data lies beside the program in a folder the user may write to

    bool Found() const { return !DataFolder.isEmpty(); }

    // Where the open and save dialogs start: <data>/User, or <documents>/Vexilo.
    QString SchemesFolder() const;
    // The solver's log: <data>/LOG.LOG, or <state>/vexilo/LOG.LOG.
    QString LogFile() const;
    // The coursebook's database: <data>/db1.sqlite, or <user data>/vexilo/db1.sqlite.
    QString CourseDatabase() const;
    // The database the course comes with, copied for a user on first start.
    QString CourseDatabaseTemplate() const;
};

// The folders searched for data, in order, for a program in `programFolder`.
QStringList DataSearchOrder(const QString& programFolder);

// The first folder of the search order that holds `marker` (a file or folder every data folder
// of that program has).
TInstallation LocateInstallation(const QString& programFolder, const QString& marker);
// The same for the running program.
TInstallation LocateInstallation(const QString& marker);

// The user's folders after the XDG conventions: documents, state and data.
QString UserDocumentsFolder();
QString UserStateFolder();
QString UserDataFolder();

// Makes sure the user's copy of the course database exists: copies the template there when the
// user has none yet. Returns the database to open, or an empty string with `error` set.
QString PrepareCourseDatabase(const TInstallation& installation, QString* error);
