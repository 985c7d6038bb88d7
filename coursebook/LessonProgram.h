#pragma once
// The program a lesson starts, from the lesson's program field.
//
// The field holds a program's file, relative to the course folder as every file field is, and
// may go on after a blank with what the program is to open: "workbench lab1" starts the workbench
// with the first lab on its board. A field that names an existing file as a whole is a program
// without anything to open, so every older course database (and program names with blanks) keeps
// its meaning, and the lesson tables need no new column.
//
// An installed package keeps its programs apart from the course: a program the course folder does
// not hold is looked for beside the coursebook.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

struct TLessonProgram {
    QString Program; // the program's full path; empty when the field names no existing program
    QString Scheme;  // what it is to open; empty for none

    bool IsWorkbench() const;
};

// Reads the field; `folders` are searched in order for the program (the course folder, then the
// coursebook's own folder).
TLessonProgram ResolveLessonProgram(const QString& field, const QStringList& folders);

// Starts the lesson's program on its own, in `workDir`, without waiting for it. A scheme for
// the workbench goes to the workbench already running through its load-scheme socket; only when
// none answers is a workbench started with it. `failed` is called, with the program's path, when
// the program could not be started.
void StartLessonProgram(const TLessonProgram& lesson, const QString& workDir, QObject* context,
                        std::function<void(const QString& program)> failed);
