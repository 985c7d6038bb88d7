#include "LessonProgram.h"
#include "platform/SchemeChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {
QString FindProgram(const QString& name, const QStringList& folders) {
    if (name.isEmpty()) return QString();
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder).filePath(name));
        if (file.isFile()) return file.absoluteFilePath();
    }
    return QString();
}
} // namespace

bool TLessonProgram::IsWorkbench() const {
    return QFileInfo(Program).fileName() == QStringLiteral("workbench");
}

TLessonProgram ResolveLessonProgram(const QString& field, const QStringList& folders) {
    TLessonProgram lesson;
    if (field.isEmpty() || field == QStringLiteral("w")) return lesson;
    lesson.Program = FindProgram(field, folders);
    if (!lesson.Program.isEmpty()) return lesson;
    // The shortest part before a blank that names a program; the rest is what it opens.
    for (qsizetype blank = field.indexOf(u' '); blank > 0; blank = field.indexOf(u' ', blank + 1)) {
        const QString program = FindProgram(field.left(blank), folders);
        if (program.isEmpty()) continue;
        lesson.Program = program;
        lesson.Scheme = field.mid(blank + 1).trimmed();
        break;
    }
    return lesson;
}

void StartLessonProgram(const TLessonProgram& lesson, const QString& workDir, QObject* context,
                        std::function<void(const QString&)> failed) {
    if (lesson.Program.isEmpty()) return;
    auto start = [lesson, workDir, failed](const QStringList& arguments) {
        if (!QProcess::startDetached(lesson.Program, arguments, workDir) && failed)
            failed(lesson.Program);
    };
    if (lesson.Scheme.isEmpty()) return start({});
    if (!lesson.IsWorkbench()) return start({lesson.Scheme});
    HandSchemeToWorkbench(lesson.Scheme, context, [start, scheme = lesson.Scheme](bool taken) {
        if (!taken) start({QStringLiteral("--load"), scheme});
    });
}
