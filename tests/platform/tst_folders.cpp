// The data search order (beside the program, then the installation's share/vexilo) and where a
// user's own files go: beside a program the user may write to, or the user's XDG folders.

#include "platform/Folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
void Touch(const QString& path, const QByteArray& data = "x") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A user's home with its XDG folders in a temporary folder; restores the environment after.
class THome {
public:
    explicit THome(bool explicitXdg = true) {
        for (const char* name : Names)
            Saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv("HOME", Dir.path().toLocal8Bit());
        for (const char* name : Names)
            if (qstrcmp(name, "HOME") != 0) qunsetenv(name);
        if (explicitXdg) {
            qputenv("XDG_STATE_HOME", Path("state").toLocal8Bit());
            qputenv("XDG_DATA_HOME", Path("data").toLocal8Bit());
        }
        // The documents folder as a Russian desktop names it, through the user-dirs file.
        qputenv("XDG_CONFIG_HOME", Path("config").toLocal8Bit());
        Touch(Path("config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n");
    }
    ~THome() {
        for (const auto& s : Saved) {
            if (s.Set)
                qputenv(s.Name, s.Value);
            else
                qunsetenv(s.Name);
        }
    }
    QString Path(const QString& name) const { return Dir.filePath(name); }
    QString Home() const { return Dir.path(); }

private:
    static constexpr const char* Names[] = {"HOME", "XDG_STATE_HOME", "XDG_DATA_HOME",
                                            "XDG_CONFIG_HOME"};
    struct TSaved {
        const char* Name;
        QByteArray Value;
        bool Set;
    };
    QTemporaryDir Dir;
    QList<TSaved> Saved;
};
} // namespace

class TestFolders : public QObject {
    Q_OBJECT
private slots:
    void searchOrder();
    void dataFolder_data();
    void dataFolder();
    void userFolders_data();
    void userFolders();
    void stateFolderDefault();
    void courseDatabase();
    void courseDatabaseFailures();
};

void TestFolders::searchOrder() {
    QTemporaryDir root;
    QStringList order = DataSearchOrder(root.filePath("usr/bin"));
    QVERIFY(order.size() >= 2);
    QCOMPARE(order[0], root.filePath("usr/bin"));
    QCOMPARE(order[1], root.filePath("usr/share/vexilo"));
    // Beside the program always comes first, and no folder is searched twice.
    QCOMPARE(order.removeDuplicates(), 0);
}

void TestFolders::dataFolder_data() {
    QTest::addColumn<QStringList>("markers"); // where the marker file is put, under the root
    QTest::addColumn<QString>("found");       // the data folder expected; empty: none
    QTest::addColumn<bool>("portable");

    QTest::newRow("build tree") << QStringList{"usr/bin"} << "usr/bin" << true;
    QTest::newRow("installed") << QStringList{"usr/share/vexilo"} << "usr/share/vexilo" << false;
    QTest::newRow("both: beside the program wins")
        << QStringList{"usr/share/vexilo", "usr/bin"} << "usr/bin" << true;
    QTest::newRow("none") << QStringList{} << QString() << false;
    QTest::newRow("another program's data only")
        << QStringList{"usr/share/other"} << QString() << false;
}

void TestFolders::dataFolder() {
    QFETCH(QStringList, markers);
    QFETCH(QString, found);
    QFETCH(bool, portable);
    QTemporaryDir root;
    QDir().mkpath(root.filePath("usr/bin"));
    for (const QString& folder : markers)
        Touch(root.filePath(folder + "/Russian.lng"));

    const TInstallation at = LocateInstallation(root.filePath("usr/bin"), "Russian.lng");
    QCOMPARE(at.Found(), !found.isEmpty());
    QCOMPARE(at.DataFolder, found.isEmpty() ? QString() : root.filePath(found));
    QCOMPARE(at.Portable, portable);
    QCOMPARE(at.ProgramFolder, root.filePath("usr/bin"));
    // The probe that tells a writable folder leaves nothing behind.
    QCOMPARE(QDir(root.filePath("usr/bin")).entryList(QDir::Files | QDir::Hidden),
             markers.contains("usr/bin") ? QStringList{"Russian.lng"} : QStringList{});
}

void TestFolders::userFolders_data() {
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QString>("schemes");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("database");

    QTest::newRow("beside the program") << "usr/bin"
                                        << "<root>/usr/bin/User"
                                        << "<root>/usr/bin/LOG.LOG"
                                        << "<root>/usr/bin/db1.sqlite";
    QTest::newRow("installed") << "usr/share/vexilo"
                               << "<home>/Документы/Vexilo"
                               << "<home>/state/vexilo/LOG.LOG"
                               << "<home>/data/vexilo/db1.sqlite";
}

void TestFolders::userFolders() {
    QFETCH(QString, marker);
    THome home;
    QTemporaryDir root;
    QDir().mkpath(root.filePath("usr/bin"));
    Touch(root.filePath(marker + "/db1.sqlite"));
    const TInstallation at = LocateInstallation(root.filePath("usr/bin"), "db1.sqlite");
    auto expand = [&](QString s) {
        return s.replace("<root>", root.path()).replace("<home>", home.Home());
    };
    QFETCH(QString, schemes);
    QFETCH(QString, log);
    QFETCH(QString, database);
    QCOMPARE(at.SchemesFolder(), expand(schemes));
    QCOMPARE(at.LogFile(), expand(log));
    QCOMPARE(at.CourseDatabase(), expand(database));
    // Nothing is made before it is needed: the schemes folder comes with the first save.
    QVERIFY(!QFileInfo::exists(home.Path("Документы/Vexilo")));
}

void TestFolders::stateFolderDefault() {
    THome home(false);
    QCOMPARE(UserStateFolder(), home.Path(".local/state"));
    qputenv("XDG_STATE_HOME", "relative/state"); // not absolute: ignored, as XDG says
    QCOMPARE(UserStateFolder(), home.Path(".local/state"));
    QCOMPARE(UserDataFolder(), home.Path(".local/share"));
}

void TestFolders::courseDatabase() {
    THome home;
    QTemporaryDir root;
    QDir().mkpath(root.filePath("usr/bin"));
    const QString installed = root.filePath("usr/share/vexilo/db1.sqlite");
    Touch(installed, "the course as shipped");
    QFile::setPermissions(installed, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const TInstallation at = LocateInstallation(root.filePath("usr/bin"), "db1.sqlite");

    // First start: the user gets a writable copy of the template.
    QString error;
    const QString copy = PrepareCourseDatabase(at, &error);
    QCOMPARE(copy, home.Path("data/vexilo/db1.sqlite"));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(Read(copy), QByteArray("the course as shipped"));
    QVERIFY(QFileInfo(copy).permissions() & QFile::WriteOwner);
    QVERIFY(!QFileInfo::exists(copy + ".part"));

    // Later starts keep the user's copy with its journal, even when the package is updated.
    Touch(copy, "the user's journal");
    QFile::setPermissions(installed, QFile::ReadOwner | QFile::WriteOwner);
    Touch(installed, "a newer course");
    QCOMPARE(PrepareCourseDatabase(at, &error), copy);
    QCOMPARE(Read(copy), QByteArray("the user's journal"));

    // Beside a writable program the database is the program folder's own, as it always was.
    QTemporaryDir portable;
    Touch(portable.filePath("db1.sqlite"), "portable");
    const TInstallation beside = LocateInstallation(portable.path(), "db1.sqlite");
    QCOMPARE(PrepareCourseDatabase(beside, &error), portable.filePath("db1.sqlite"));
}

void TestFolders::courseDatabaseFailures() {
    THome home;
    QTemporaryDir root;
    QDir().mkpath(root.filePath("usr/bin"));
    TInstallation at;
    at.ProgramFolder = root.filePath("usr/bin");
    at.DataFolder = root.filePath("usr/share/vexilo"); // no template there
    QString error;
    QVERIFY(PrepareCourseDatabase(at, &error).isEmpty());
    QVERIFY(error.contains(at.DataFolder));
    QVERIFY(!QFileInfo::exists(home.Path("data/vexilo/db1.sqlite")));

    // The user's data folder cannot be made (a file stands in its way): said, nothing half-done.
    Touch(root.filePath("usr/share/vexilo/db1.sqlite"));
    Touch(home.Path("data/vexilo"), "a file, not a folder");
    error.clear();
    QVERIFY(PrepareCourseDatabase(at, &error).isEmpty());
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestFolders)
#include "tst_folders.moc"
