// The installation as a user's machine gets it: cmake --install into a throw-away root, then
// every desktop entry and the AppStream file pass their validators, every entry's program and
// icon are there, the installed programs answer --help and --version without a display, and an
// installed program finds its data in share/vexilo.

#include "platform/Folders.h"
#include "platform/ProgramInfo.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QStringList AppIds = {"org.vexilo.workbench", "org.vexilo.coursebook",
                            "org.vexilo.filterdemo"};
const QStringList Programs = {"workbench", "coursebook", "filterdemo", "schemetool"};

struct TRun {
    int Code = -1;
    QString Out;
    QString Err;
};

TRun Run(const QString& program, const QStringList& args,
         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    TRun r;
    if (!p.waitForStarted()) {
        r.Err = p.errorString();
        return r;
    }
    p.waitForFinished(120000);
    r.Code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.Out = QString::fromUtf8(p.readAllStandardOutput());
    r.Err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A validator the package's set-up installs; its absence is a fault of the set-up, not a pass.
QString Tool(const QString& name) {
    const QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        qWarning("%s is missing: scripts/install-deps installs it", qPrintable(name));
    return path;
}
} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void layout();
    void desktopEntries_data();
    void desktopEntries();
    void scalableIconMatchesPictures_data();
    void scalableIconMatchesPictures();
    void metainfo();
    void infoOptions_data();
    void infoOptions();
    void installedProgramFindsItsData();
    void shippedCourse();

private:
    QString Usr(const QString& path = QString()) const { return Root.filePath("usr/" + path); }
    QTemporaryDir Root;
};

void TestInstall::initTestCase() {
    QVERIFY(Root.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DESTDIR", Root.path());
    const TRun r =
        Run(VEXILO_CMAKE_COMMAND, {"--install", VEXILO_BUILD_DIR, "--prefix", "/usr"}, env);
    QVERIFY2(r.Code == 0, qPrintable(r.Out + r.Err));
}

void TestInstall::layout() {
    for (const QString& program : Programs) {
        const QFileInfo binary(Usr("bin/" + program));
        QVERIFY2(binary.isFile() && binary.isExecutable(), qPrintable(program));
    }
    for (const QString& data :
         QStringList{"Russian.lng", "English.lng", "Estonian.lng", "Labs/lab1.workbench",
                     "Labs/lab5.workbench", "HELP/index.htm", "HELP/Labs/lab3.htm",
                     "HELP/Refs/index.htm", "db1.sqlite", "zas.mht", "help.mht", "test/otwet.txt",
                     "sql/schema.sql", "sql/server.sql"})
        QVERIFY2(QFileInfo::exists(Usr("share/vexilo/" + data)), qPrintable(data));
    // A user's things never come with the package: no User folder, no log, no build tools.
    for (const QString& absent : QStringList{"share/vexilo/User", "share/vexilo/LOG.LOG",
                                             "bin/makelabs", "bin/artgen", "bin/coursebuild"})
        QVERIFY2(!QFileInfo::exists(Usr(absent)), qPrintable(absent));
}

void TestInstall::desktopEntries_data() {
    QTest::addColumn<QString>("id");
    for (const QString& id : AppIds)
        QTest::newRow(qPrintable(id)) << id;
}

void TestInstall::desktopEntries() {
    QFETCH(QString, id);
    const QString entry = Usr("share/applications/" + id + ".desktop");
    QVERIFY(QFileInfo::exists(entry));
    const QString validator = Tool("desktop-file-validate");
    QVERIFY(!validator.isEmpty());
    const TRun check = Run(validator, {entry});
    QVERIFY2(check.Code == 0 && check.Out.isEmpty(), qPrintable(check.Out + check.Err));

    QSettings desktop(entry, QSettings::IniFormat);
    desktop.beginGroup("Desktop Entry");
    // The Exec line names an installed program, started from the PATH.
    const QString exec = desktop.value("Exec").toString();
    QVERIFY2(!exec.contains('/'), qPrintable(exec));
    const QFileInfo program(Usr("bin/" + exec.section(' ', 0, 0)));
    QVERIFY2(program.isExecutable(), qPrintable(exec));
    // The icon in every size the theme is given.
    QCOMPARE(desktop.value("Icon").toString(), id);
    for (int size : {48, 128}) {
        const QImage png(Usr(QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id)));
        QCOMPARE(png.size(), QSize(size, size));
        QVERIFY(png.hasAlphaChannel());
    }
    QVERIFY(QSvgRenderer(Usr("share/icons/hicolor/scalable/apps/" + id + ".svg")).isValid());
}

void TestInstall::scalableIconMatchesPictures_data() {
    desktopEntries_data();
}

void TestInstall::scalableIconMatchesPictures() {
    // The SVG is the same drawing as the pictures: rendered at 128 pixels it agrees with the
    // 128-pixel PNG wherever it is opaque (the PNG adds a soft shadow outside the drawing).
    QFETCH(QString, id);
    const QImage png = QImage(Usr(QString("share/icons/hicolor/128x128/apps/%1.png").arg(id)))
                           .convertToFormat(QImage::Format_ARGB32);
    QSvgRenderer svg(Usr("share/icons/hicolor/scalable/apps/" + id + ".svg"));
    QImage drawn(128, 128, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    {
        QPainter p(&drawn);
        svg.render(&p);
    }
    double difference = 0;
    int opaque = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const QRgb a = drawn.pixel(x, y), b = png.pixel(x, y);
            if (qAlpha(a) < 255) continue;
            ++opaque;
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                          std::abs(qBlue(a) - qBlue(b));
        }
    QVERIFY2(opaque > 128 * 128 / 2, "the scalable icon draws too little");
    const double mean = difference / (3.0 * opaque);
    QVERIFY2(mean < 10, qPrintable(QString("mean colour difference %1").arg(mean)));
}

void TestInstall::metainfo() {
    const QString file = Usr("share/metainfo/org.vexilo.workbench.metainfo.xml");
    const QString validator = Tool("appstreamcli");
    QVERIFY(!validator.isEmpty());
    const TRun check = Run(validator, {"validate", "--no-net", "--pedantic", file});
    QVERIFY2(check.Code == 0, qPrintable(check.Out + check.Err));

    // What it promises is there: every launchable and every binary.
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(f.readAll());
    QStringList launchables;
    for (const auto& m : QRegularExpression(R"(<launchable type="desktop-id">([^<]+)</launchable>)")
                             .globalMatch(xml))
        launchables << m.captured(1);
    QStringList expected;
    for (const QString& id : AppIds)
        expected << id + ".desktop";
    QCOMPARE(launchables, expected);
    for (const auto& m : QRegularExpression("<binary>([^<]+)</binary>").globalMatch(xml))
        QVERIFY2(QFileInfo(Usr("bin/" + m.captured(1))).isExecutable(), qPrintable(m.captured(1)));
}

void TestInstall::infoOptions_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("option");
    for (const QString& program : Programs)
        for (const QString& option : QStringList{"--help", "--version"})
            QTest::newRow(qPrintable(program + " " + option)) << program << option;
}

void TestInstall::infoOptions() {
    QFETCH(QString, program);
    QFETCH(QString, option);
    // No display at all: the answer comes before any window system is asked for.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    const TRun r = Run(Usr("bin/" + program), {option}, env);
    QVERIFY2(r.Code == 0, qPrintable(r.Err));
    if (option == "--help") {
        QVERIFY2(r.Out.startsWith("usage: " + program), qPrintable(r.Out));
        QVERIFY(r.Out.contains("--version"));
    } else {
        QCOMPARE(r.Out,
                 QString("%1 (Vexilo) %2\n").arg(program, QString::fromLatin1(PackageVersion())));
    }
}

void TestInstall::installedProgramFindsItsData() {
    // Where the install put the data is where an installed program looks for it, for each
    // program's own marker, wherever the prefix is.
    for (const QString& marker : QStringList{"Russian.lng", "English.lng", "db1.sqlite"}) {
        const TInstallation at = LocateInstallation(Usr("bin"), marker);
        QCOMPARE(at.DataFolder, QDir::cleanPath(Usr("share/vexilo")));
        QVERIFY(!at.Portable);
    }
    // The installed schemetool runs from there and solves an installed lab.
    const TRun r = Run(Usr("bin/schemetool"), {"solve", Usr("share/vexilo/Labs/lab1.workbench")});
    QVERIFY2(r.Code == 0, qPrintable(r.Err));
    const QStringList lines = r.Out.split('\n', Qt::SkipEmptyParts);
    QVERIFY(lines.size() >= 5);
    QVERIFY(lines.first().contains("\"class\":\"TBattery\""));
    QVERIFY2(!r.Err.contains("schemetool:"), qPrintable(r.Err));
}

void TestInstall::shippedCourse() {
    // The template of every user's database: the course without the journal entries that runs
    // in the build tree may have added, and every file a lesson names in share/vexilo.
    const QString data = Usr("share/vexilo/");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "shipped");
        db.setDatabaseName(data + "db1.sqlite");
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("SELECT count(*) FROM jurnal") && q.next());
        QCOMPARE(q.value(0).toInt(), 0);
        QVERIFY(q.exec("SELECT kod_uroka, htm, jpg, wav, mid, avi, test, exe FROM urok"));
        int lessons = 0;
        while (q.next()) {
            ++lessons;
            for (int i = 1; i <= 6; ++i) {
                const QString v = q.value(i).toString();
                if (v.isEmpty() || v == "w") continue;
                QVERIFY2(QFileInfo(data + v).isFile(),
                         qPrintable(QString("lesson %1: %2").arg(q.value(0).toInt()).arg(v)));
            }
            // A lesson's program is one of the installed programs, and its scheme an installed lab.
            const QString exe = q.value(7).toString();
            if (exe == "w" || exe.isEmpty()) continue;
            QVERIFY2(QFileInfo(Usr("bin/" + exe.section(' ', 0, 0))).isExecutable(),
                     qPrintable(exe));
            const QString scheme = exe.section(' ', 1).trimmed();
            if (!scheme.isEmpty())
                QVERIFY2(QFileInfo(data + "Labs/" + scheme + ".workbench").isFile(),
                         qPrintable(exe));
        }
        QVERIFY(lessons > 0);
    }
    QSqlDatabase::removeDatabase("shipped");
}

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
