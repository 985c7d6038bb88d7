#pragma once
#include <QStringList>

// `coursebook --init-db [--user NAME]`: creates the lesson tables, the student and teacher roles
// with their grants, and the sample course in the empty class database the settings name,
// connecting as NAME (the database's owner, typically) instead of the settings' user. The
// password comes from ~/.pgpass or is asked on the terminal. Prints what it did; returns the
// program's exit code: 0 done, 1 refused or failed, 2 a wrong command line.
int RunInitDatabase(const QStringList& arguments);
