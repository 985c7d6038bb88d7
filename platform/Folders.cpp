#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
constexpr char PackageFolder[] = "vexilo";

// Whether the user may create files in `folder`: the only sure test is to try. A root user passes
// access checks that are meant for others, so asking permissions() would not do.
bool WritableFolder(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(".vexilo-write-test-XXXXXX"));
    return probe.open();
}

QString Clean(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

QStringList DataSearchOrder(const QString& programFolder) {
    QStringList order{Clean(programFolder)};
    const QString relative =
        Clean(QDir(programFolder).filePath(QStringLiteral(VEXILO_DATA_FROM_BIN)));
    const QString configured = Clean(QStringLiteral(VEXILO_INSTALL_DATADIR));
    for (const QString& folder : {relative, configured})
        if (!order.contains(folder)) order.append(folder);
    return order;
}

TInstallation LocateInstallation(const QString& programFolder, const QString& marker) {
    TInstallation found;
    found.ProgramFolder = Clean(programFolder);
    const QStringList order = DataSearchOrder(programFolder);
    for (const QString& folder : order) {
        if (!QFileInfo::exists(QDir(folder).filePath(marker))) continue;
        found.DataFolder = folder;
        found.Portable = folder == order.first() && WritableFolder(folder);
        break;
    }
    return found;
}

TInstallation LocateInstallation(const QString& marker) {
    return LocateInstallation(QCoreApplication::applicationDirPath(), marker);
}

QString UserDocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

QString UserStateFolder() {
    // $XDG_STATE_HOME, when set to an absolute path; ~/.local/state otherwise.
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!state.isEmpty() && QDir::isAbsolutePath(state)) return QDir::cleanPath(state);
    return QDir::homePath() + QStringLiteral("/.local/state");
}

QString UserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString TInstallation::SchemesFolder() const {
    if (Portable) return DataFolder + QStringLiteral("/User");
    return UserDocumentsFolder() + QStringLiteral("/Vexilo");
}

QString TInstallation::LogFile() const {
    if (Portable) return DataFolder + QStringLiteral("/LOG.LOG");
    return UserStateFolder() + u'/' + QLatin1String(PackageFolder) + QStringLiteral("/LOG.LOG");
}

QString TInstallation::CourseDatabase() const {
    if (Portable) return DataFolder + QStringLiteral("/db1.sqlite");
    return UserDataFolder() + u'/' + QLatin1String(PackageFolder) + QStringLiteral("/db1.sqlite");
}

QString TInstallation::CourseDatabaseTemplate() const {
    return DataFolder + QStringLiteral("/db1.sqlite");
}

QString PrepareCourseDatabase(const TInstallation& installation, QString* error) {
    const QString target = installation.CourseDatabase();
    if (installation.Portable || QFileInfo::exists(target)) return target;
    const QString source = installation.CourseDatabaseTemplate();
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return QString();
    };
    if (!QFileInfo(source).isFile())
        return fail(QStringLiteral("Нет базы данных курса \"%1\"").arg(source));
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("Не удалось создать папку \"%1\"").arg(folder));
    // Copied under a temporary name and renamed, so that an interrupted copy never leaves a
    // half database that the next start would take for the user's own.
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(source, partial)) {
        QFile::remove(partial);
        return fail(
            QStringLiteral("Не удалось скопировать базу данных курса в \"%1\"").arg(target));
    }
    // The template is read-only where it is installed; the user's copy takes the journal.
    QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                       QFile::ReadOther);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        return fail(QStringLiteral("Не удалось записать базу данных курса в \"%1\"").arg(target));
    }
    return target;
}
