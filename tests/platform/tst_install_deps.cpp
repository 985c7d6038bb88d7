// scripts/install-deps: on a machine that has every package it touches no package manager, so
// make test and make run work without a package mirror; a missing package is asked for by name.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A folder of stand-ins for the package tools, put first on the PATH: each writes its command
// line to calls.log. dpkg-query answers "installed" for every package but $MISSING_PACKAGE and
// passes any other question to the real one.
struct TFakeTools {
    QTemporaryDir Dir;

    TFakeTools() {
        const QString log = Dir.filePath("calls.log");
        Write("apt-get", "echo \"apt-get $*\" >> '" + log + "'\n");
        Write("apt", "echo \"apt $*\" >> '" + log + "'\n");
        Write("sudo", "echo \"sudo $*\" >> '" + log + "'\n\"$@\"\n");
        Write("dpkg-query",
              "for last; do :; done\n"
              "if [ -n \"$MISSING_PACKAGE\" ] && [ \"$last\" = \"$MISSING_PACKAGE\" ]; then\n"
              "  printf 'unknown ok not-installed'; exit 1\nfi\n"
              "printf 'install ok installed'\n");
    }
    void Write(const QString& name, const QString& body) {
        QFile file(Dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(("#!/bin/sh\n" + body).toUtf8());
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QString Calls() const {
        QFile file(Dir.filePath("calls.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    int Run(const QString& missing, bool fakeDpkg) {
        QProcess script;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!fakeDpkg) QFile::remove(Dir.filePath("dpkg-query"));
        env.insert("PATH", Dir.path() + ":" + env.value("PATH"));
        env.insert("MISSING_PACKAGE", missing);
        script.setProcessEnvironment(env);
        script.start("bash", {VEXILO_SOURCE_DIR "/scripts/install-deps"});
        if (!script.waitForFinished(60000)) return -1;
        return script.exitCode();
    }
};
} // namespace

class TestInstallDeps : public QObject {
    Q_OBJECT

private slots:
    void everythingThereTouchesNoPackageManager();
    void missingPackageIsAskedForByName();
};

void TestInstallDeps::everythingThereTouchesNoPackageManager() {
    // This machine has built and is testing the package: every package the script names must
    // be reported installed by the real dpkg, or it would run apt-get at every make test.
    TFakeTools tools;
    QCOMPARE(tools.Run(QString(), false), 0);
    QCOMPARE(tools.Calls(), QString());
}

void TestInstallDeps::missingPackageIsAskedForByName() {
    TFakeTools tools;
    QCOMPARE(tools.Run("ngspice", true), 0);
    const QString calls = tools.Calls();
    QVERIFY2(calls.contains("apt-get update"), qPrintable(calls));
    QVERIFY2(QRegularExpression("apt-get install .* ngspice\\n").match(calls).hasMatch(),
             qPrintable(calls));
    QVERIFY(!calls.contains("cmake")); // only what is missing
}

QTEST_GUILESS_MAIN(TestInstallDeps)
#include "tst_install_deps.moc"
