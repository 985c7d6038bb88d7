#pragma once
#include <QString>
#include <QStringList>

class QSqlDatabase;

// The lesson database's tables and the course in them, for the embedded file and for a class
// database on a PostgreSQL server alike. The SQL lives in the program's resources:
//   :/coursebook/sql/schema.sql     the tables (both engines)
//   :/coursebook/sql/server.sql     a server's key generators, roles and grants
//   :/coursebook/course/course.sql  the sample course "Torvane"

// Whether the connection goes to a database server rather than to the embedded file.
bool IsServerDatabase(const QSqlDatabase& db);

// The statements of an SQL script: split at semicolons outside quoted text ('...', "..." and
// PostgreSQL's $$...$$ bodies), with comments left out.
QStringList SqlStatements(const QString& script);

// Runs every statement of `script`; throws EDatabaseError naming the statement that failed.
void RunSqlScript(const QString& connectionName, const QString& script);

QString SchemaScript();
QString ServerScript();
QString SampleCourseScript();

// Creates the tables of an empty lesson database; on a server also its key generators, the
// student and teacher roles and their grants.
void CreateLessonSchema(const QString& connectionName);

// Makes a course loaded with keys of its own ready for use: editor passwords given as typed
// become hashes, and a server's key generators continue after the largest key (SyncServerKeys).
void FinishLoadedCourse(const QString& connectionName);
void SyncServerKeys(const QString& connectionName);

// The names of the lesson tables the database already has, in the engine's spelling.
QStringList ExistingLessonTables(const QString& connectionName);

// Fills an empty database with the tables and the course of `courseScript`, all in one
// transaction: a database that already has any lesson table is refused and left as it was.
// Returns the number of lessons loaded.
int InitCourseDatabase(const QString& connectionName, const QString& courseScript);
