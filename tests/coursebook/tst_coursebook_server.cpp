// The coursebook on a class database of a PostgreSQL server: what the student's and the
// teacher's roles may do, two students writing at once, the server stopping mid-lesson, the
// password, the settings file and `coursebook --init-db`. All against a real server.
#include "CourseFixture.h"
#include "DataErrors.h"
#include "Dialogs.h"
#include "EditPassword.h"
#include "ErrorReport.h"
#include "PgServer.h"
#include "Schema.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit6.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString Admin = QStringLiteral("admin");

// A connection of its own, closed with the guard.
class TConnection {
public:
    explicit TConnection(const TServerSettings& s) : Name(QStringLiteral("probe-%1").arg(++Count)) {
        OpenServerConnection(Name, s);
    }
    ~TConnection() {
        QSqlDatabase::database(Name, false).close();
        QSqlDatabase::removeDatabase(Name);
    }
    QString Name;

private:
    static inline int Count = 0;
};

// Loads the sample course into `database` as `--init-db` does, as the superuser.
bool LoadSampleCourse(TPgServer& server, const QString& database) {
    try {
        TConnection admin(server.Settings(database, server.AdminUser()));
        return InitCourseDatabase(admin.Name, SampleCourseScript()) == 18;
    } catch (const std::exception& e) {
        qWarning() << e.what();
        return false;
    }
}

} // namespace

class TestCoursebookServer : public QObject {
    Q_OBJECT

    QTemporaryDir Scratch;
    QString Database;      // with the sample course, for each test
    QString RolesDatabase; // the one the role checks share: a refused statement changes nothing
    QString Student;
    QString Teacher;
    QStringList Messages;
    QStringList Errors;
    std::unique_ptr<TPgServer> Killable; // a server of the tests' own, for stopping it

    TPgServer& Server() { return TPgServer::Shared(); }

    TPgServer& KillableServer() {
        if (!Killable) Killable = std::make_unique<TPgServer>();
        return *Killable;
    }

    QList<QVariantList> Journal(TPgServer& server, const QString& database) {
        return server.Rows(database,
                           "SELECT fio, urok, data, ocenka FROM jurnal ORDER BY kod_jurnal");
    }

private slots:
    void initTestCase() {
        QVERIFY2(Server().Running(), qPrintable(Server().Failure()));
        Student = Server().CreateLogin("coursebook_student");
        Teacher = Server().CreateLogin("coursebook_teacher");
        QVERIFY2(!Student.isEmpty() && !Teacher.isEmpty(), qPrintable(Server().Failure()));
        TDataModule2::SetJournalQueuePath(Scratch.filePath("queue.sqlite"));
        SetMessageHandler([this](const TMessageRequest& r) {
            Messages << r.Text;
            return true;
        });
        SetErrorReport([this](const QString& text) { Errors << text; });
    }

    void init() {
        const bool roles = QLatin1String(QTest::currentTestFunction()) ==
                           "studentRoleRefusedEveryWriteButJournalInsert";
        if (roles && !RolesDatabase.isEmpty()) {
            Database = RolesDatabase;
        } else {
            Database = Server().CreateDatabase();
            QVERIFY2(LoadSampleCourse(Server(), Database), qPrintable(Server().Failure()));
            if (roles) RolesDatabase = Database;
        }
        Messages.clear();
        Errors.clear();
    }

    void cleanup() {
        TDataModule2::SetServer(TServerSettings());
        SetPasswordPrompt(nullptr);
        QFile::remove(Scratch.filePath("queue.sqlite"));
    }

    // ---- what each role may do ----

    void studentRoleRefusedEveryWriteButJournalInsert_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("add a journal row")
            << "INSERT INTO jurnal (tema, urok, data, ocenka, fio, gruppa) VALUES ('Закон Ома', "
               "'Урок', '2024-09-02', 0, 'Анна', 'ЭТ-11')"
            << true;
        for (const char* t : {"razdel", "tema", "tip", "urok"})
            QTest::newRow(qPrintable(QStringLiteral("read %1").arg(t)))
                << QStringLiteral("SELECT * FROM %1").arg(t) << true;
        QTest::newRow("read the edit password") << "SELECT pas FROM pas" << false;
        QTest::newRow("read the journal") << "SELECT * FROM jurnal" << false;
        QTest::newRow("read the students") << "SELECT fio FROM fio" << false;
        QTest::newRow("read the groups") << "SELECT gruppa FROM gruppa" << false;
        QTest::newRow("change a lesson")
            << "UPDATE urok SET tip = 'Чужой урок' WHERE kod_uroka = 1" << false;
        QTest::newRow("delete a journal row") << "DELETE FROM jurnal WHERE kod_jurnal = 1" << false;
        QTest::newRow("change a grade") << "UPDATE jurnal SET ocenka = 100" << false;
        QTest::newRow("choose a journal key")
            << "INSERT INTO jurnal (kod_jurnal, tema) VALUES (1000, 'т')" << false;
        QTest::newRow("set the edit password") << "UPDATE pas SET pas = 'x'" << false;
        // Every table, with a column of it.
        const QList<std::pair<QString, QString>> tables{
            {"razdel", "razdel"}, {"tema", "tema"}, {"tip", "tip"},    {"urok", "tip"},
            {"gruppa", "gruppa"}, {"fio", "fio"},   {"jurnal", "fio"}, {"pas", "pas"}};
        for (const auto& [t, column] : tables) {
            if (t != "jurnal")
                QTest::newRow(qPrintable("insert into " + t))
                    << QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(t) << false;
            QTest::newRow(qPrintable("update " + t))
                << QStringLiteral("UPDATE %1 SET %2 = %2").arg(t, column) << false;
            QTest::newRow(qPrintable("delete from " + t))
                << QStringLiteral("DELETE FROM %1").arg(t) << false;
            QTest::newRow(qPrintable("truncate " + t))
                << QStringLiteral("TRUNCATE %1").arg(t) << false;
            QTest::newRow(qPrintable("drop " + t))
                << QStringLiteral("DROP TABLE %1").arg(t) << false;
            QTest::newRow(qPrintable("alter " + t))
                << QStringLiteral("ALTER TABLE %1 ADD COLUMN x INTEGER").arg(t) << false;
        }
        QTest::newRow("make a table") << "CREATE TABLE notes (t VARCHAR(10))" << false;
        QTest::newRow("make a function")
            << "CREATE FUNCTION f() RETURNS INTEGER LANGUAGE sql AS 'SELECT 1'" << false;
        QTest::newRow("become a teacher") << "GRANT coursebook_teacher TO CURRENT_USER" << false;
    }

    void studentRoleRefusedEveryWriteButJournalInsert() {
        QFETCH(QString, sql);
        QFETCH(bool, allowed);
        const QVariant lessonsBefore =
            Server().Scalar(Database, "SELECT string_agg(tip, '|' ORDER BY kod_uroka) FROM urok");
        const int journalBefore = Server().Scalar(Database, "SELECT COUNT(*) FROM jurnal").toInt();
        TConnection student(Server().Settings(Database, Student));
        QSqlQuery q(QSqlDatabase::database(student.Name, false));
        const bool ran = q.exec(sql);
        QVERIFY2(ran == allowed, qPrintable(q.lastError().text()));
        if (!allowed) {
            // Refused for want of rights, not for some other reason that might go away.
            QCOMPARE(FaultOf(q.lastError()), TDbFault::Denied);
            QCOMPARE(Server().Scalar(Database,
                                     "SELECT string_agg(tip, '|' ORDER BY kod_uroka) FROM urok"),
                     lessonsBefore);
            QCOMPARE(Server().Scalar(Database, "SELECT COUNT(*) FROM jurnal").toInt(),
                     journalBefore);
            QCOMPARE(Server()
                         .Scalar(Database, "SELECT COUNT(*) FROM information_schema.tables WHERE "
                                           "table_schema = 'public'")
                         .toInt(),
                     8);
        }
    }

    void studentCoursebookShowsLessonsAndWritesVisitsOnly() {
        TDataModule2::SetServer(Server().Settings(Database, Student));
        TDataModule2 data;
        QVERIFY(data.OnServer());
        QCOMPARE(data.Turok->RecordCount(), 18);
        QCOMPARE(data.Trazdel->RecordCount(), 4);
        QVERIFY(data.TTema->Active() && data.Ttip->Active());
        for (TTable* closed : {data.tgruppa, data.TFio, data.Tjurnal, data.Tpas})
            QVERIFY2(!closed->Active(), qPrintable(closed->TableName()));
        QVERIFY(data.Turok->Locate("kod_uroka", 2));
        QCOMPARE(data.Turok->FieldText("tema"), QString("Закон Ома"));

        // The editor's password is out of reach, so is the editor.
        try {
            CheckEditPassword(data.Tpas, "torvane");
            QFAIL("a student's connection checked the edit password");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Fault(), TDbFault::Denied);
        }
        // A lesson changed through the table objects is refused by the server and stays as it was.
        data.Turok->Edit();
        data.Turok->SetFieldValue("tip", "Чужой урок");
        try {
            data.Turok->Post();
            QFAIL("a student's connection changed a lesson");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Fault(), TDbFault::Denied);
        }
        data.Turok->Cancel();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, data.Turok->Delete());
        QCOMPARE(Server().Scalar(Database, "SELECT tip FROM urok WHERE kod_uroka = 2").toString(),
                 QString("Закон Ома для участка цепи"));

        QCOMPARE(data.AppendJournal("Закон Ома", "Закон Ома для участка цепи", "Анна", "ЭТ-11", 0,
                                    QDate(2024, 9, 2)),
                 TJournalWrite::Written);
        QCOMPARE(data.AppendJournal("Итоговый тест", "Итоговый тест по курсу", "Анна", "ЭТ-11", 85,
                                    QDate(2024, 9, 3)),
                 TJournalWrite::Written);
        const QList<QVariantList> rows = Journal(Server(), Database);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0],
                 (QVariantList{"Анна", "Закон Ома для участка цепи", QDate(2024, 9, 2), 0}));
        QCOMPARE(rows[1], (QVariantList{"Анна", "Итоговый тест по курсу", QDate(2024, 9, 3), 85}));
    }

    void studentBrowserSendsEditingToTheTeacher() {
        TDataModule2::SetServer(Server().Settings(Database, Student));
        TDataModule2 data;
        TForm1 browser;
        browser.LinkData(&data);
        browser.N1Click();
        QCOMPARE(Messages.size(), 1);
        QVERIFY2(Messages[0].contains("только учителю"), qPrintable(Messages[0]));
        QVERIFY(!browser.Button1Visible());
    }

    void teacherEditsTheCourseAndReadsTheJournal() {
        Server().Exec(Database, "INSERT INTO jurnal (tema, urok, data, ocenka, fio, gruppa) VALUES"
                                " ('Закон Ома', 'Урок', '2024-09-02', 0, 'Анна', 'ЭТ-11')");
        TDataModule2::SetServer(Server().Settings(Database, Teacher));
        TDataModule2 data;
        for (TTable* t : {data.Trazdel, data.TTema, data.Ttip, data.Turok, data.tgruppa, data.TFio,
                          data.Tjurnal, data.Tpas})
            QVERIFY2(t->Active(), qPrintable(t->TableName()));
        QCOMPARE(CheckEditPassword(data.Tpas, "torvane"), TPasswordCheck::Right);
        QCOMPARE(data.Tjurnal->RecordCount(), 1);

        // A new topic takes the server's next key, after the course's own.
        data.TTema->Insert();
        data.TTema->SetFieldValue("kod_razdel", 1);
        data.TTema->SetFieldValue("tema", "Новая тема");
        data.TTema->Post();
        QCOMPARE(data.TTema->FieldValue("kod_tema").toInt(), 10);
        QVERIFY(data.Turok->Locate("kod_uroka", 2));
        data.Turok->Edit();
        data.Turok->SetFieldValue("kod_tema", 10);
        data.Turok->Post();
        QCOMPARE(data.Turok->FieldText("tema"), QString("Новая тема"));
        QCOMPARE(Server().Scalar(Database, "SELECT kod_tema FROM urok WHERE kod_uroka = 2").toInt(),
                 10);

        // The teacher clears the journal; a row that another teacher deleted meanwhile is no
        // reason to fail.
        Server().Exec(Database, "DELETE FROM jurnal");
        QCOMPARE(data.Tjurnal->DeleteView(), 1);
        QVERIFY(data.Tjurnal->IsEmpty());
    }

    void editingARowSomeoneDeletedIsSaid() {
        TDataModule2::SetServer(Server().Settings(Database, Teacher));
        TDataModule2 data;
        QVERIFY(data.Trazdel->Locate("kod_razdel", 3));
        data.Trazdel->Edit();
        data.Trazdel->SetFieldValue("razdel", "Фильтры и усилители");
        QVERIFY(Server().Exec(Database, "DELETE FROM razdel WHERE kod_razdel = 3"));
        try {
            data.Trazdel->Post();
            QFAIL("a change to a deleted row was taken as stored");
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.Text().contains("удалена другим пользователем"), qPrintable(e.Text()));
        }
        QCOMPARE(data.Trazdel->State(), TDataSetState::dsBrowse);
        QVERIFY(!data.Trazdel->Locate("kod_razdel", 3));
    }

    // ---- two students at once ----

    void twoStudentsWriteAtOnce_data() {
        QTest::addColumn<bool>("server");
        QTest::newRow("class server") << true;
        QTest::newRow("one database file") << false;
    }

    void twoStudentsWriteAtOnce() {
        QFETCH(bool, server);
        const int visits = 250;
        TCourseFolder folder;
        QStringList target;
        if (server) {
            const QString ini = folder.Path("coursebook.ini");
            QSettings s(ini, QSettings::IniFormat);
            s.beginGroup("Server");
            s.setValue("Host", Server().Settings(Database, Student).Host);
            s.setValue("Port", Server().Settings(Database, Student).Port);
            s.setValue("Database", Database);
            s.setValue("User", Student);
            s.endGroup();
            s.sync();
            target = {"--server", ini};
        } else {
            const QString connection = "two-students-file";
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
                db.setDatabaseName(folder.Path("db1.sqlite"));
                QVERIFY(db.open());
                QCOMPARE(InitCourseDatabase(connection, SampleCourseScript()), 18);
                db.close();
            }
            QSqlDatabase::removeDatabase(connection);
            target = {"--file", folder.Path()};
        }
        const QString go = folder.Path("go");
        const QString writer = QCoreApplication::applicationDirPath() + "/journal_writer";
        QProcess anna, boris;
        for (auto [p, name] : {std::pair{&anna, "Анна"}, std::pair{&boris, "Борис"}}) {
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(writer, target + QStringList{name, QString::number(visits),
                                                  folder.Path(QString("queue-%1").arg(name)), go});
            QVERIFY(p->waitForStarted());
        }
        for (QProcess* p : {&anna, &boris})
            QTRY_VERIFY_WITH_TIMEOUT(p->canReadLine() || p->state() == QProcess::NotRunning, 60000);
        QCOMPARE(anna.readLine().trimmed(), QByteArray("ready"));
        QCOMPARE(boris.readLine().trimmed(), QByteArray("ready"));
        folder.WriteFile("go", "");
        for (QProcess* p : {&anna, &boris}) {
            QVERIFY(p->waitForFinished(300000));
            QCOMPARE(p->exitCode(), 0);
            QCOMPARE(p->readAll().trimmed(), QByteArray("written 250 queued 0"));
        }

        // The teacher's journal has every visit of both, each lesson once.
        if (server)
            TDataModule2::SetServer(Server().Settings(Database, Teacher));
        else
            folder.Enter();
        TDataModule2 teacher;
        QCOMPARE(teacher.Tjurnal->RecordCount(), 2 * visits);
        for (const QString& name : {QString("Анна"), QString("Борис")}) {
            teacher.Tjurnal->SetFilter(TDataModule2::JournalFilter(name, ""));
            teacher.Tjurnal->SetFiltered(true);
            QSet<QString> lessons;
            for (int i = 0; i < teacher.Tjurnal->RecordCount(); ++i)
                lessons << teacher.Tjurnal->Value(i, "urok").toString();
            QCOMPARE(teacher.Tjurnal->RecordCount(), visits);
            QCOMPARE(lessons.size(), visits);
            QVERIFY(lessons.contains("Урок 1") && lessons.contains("Урок 250"));
        }
    }

    // ---- the server stops mid-lesson ----

    void serverKilledMidLessonLosesNoVisit() {
        TPgServer& killable = KillableServer();
        QVERIFY2(killable.Running(), qPrintable(killable.Failure()));
        const QString database = killable.CreateDatabase();
        QVERIFY(LoadSampleCourse(killable, database));
        const QString student = killable.CreateLogin("coursebook_student");
        TDataModule2::SetServer(killable.Settings(database, student));
        TDataModule2::SetJournalRetryInterval(200);

        TForm6 welcome;
        Form6 = &welcome;
        welcome.Edit1->setText("Анна");
        welcome.Edit2->setText("ЭТ-11");
        auto data = std::make_unique<TDataModule2>();
        TForm1 browser;
        browser.LinkData(data.get());
        QSignalSpy pending(data.get(), &TDataModule2::JournalPending);

        browser.WriteJournal("Закон Ома", "Урок 1", 0);
        browser.WriteJournal("Закон Ома", "Урок 2", 0);
        QVERIFY(Messages.isEmpty());

        QVERIFY2(killable.Kill(), qPrintable(killable.Failure()));
        browser.WriteJournal("Закон Ома", "Урок 3", 0);
        browser.WriteJournal("Закон Ома", "Урок 4", 0);
        browser.WriteJournal("Итоговый тест", "Итоговый тест по курсу", 90);
        // Visits of other days keep their days.
        QCOMPARE(data->AppendJournal("Резонанс", "Урок 5", "Анна", "ЭТ-11", 0, QDate(2024, 9, 2)),
                 TJournalWrite::Queued);
        QCOMPARE(data->AppendJournal("Резонанс", "Урок 6", "Анна", "ЭТ-11", 0, QDate(2024, 9, 3)),
                 TJournalWrite::Queued);
        QCOMPARE(data->PendingJournal(), 5);
        QVERIFY(!pending.isEmpty());
        // Said once, and as what it is: no error, the lessons go on.
        QCOMPARE(Messages.size(), 1);
        QVERIFY2(Messages[0].contains("Нет связи с сервером журнала"), qPrintable(Messages[0]));
        QVERIFY2(Errors.isEmpty(), qPrintable(Errors.join('\n')));

        // Back again: the waiting visits are written by themselves, oldest first, each with its
        // day.
        QVERIFY2(killable.Resume(), qPrintable(killable.Failure()));
        QTRY_COMPARE_WITH_TIMEOUT(data->PendingJournal(), 0, 60000);
        browser.WriteJournal("Резонанс", "Урок 7", 0);
        const QDate today = QDate::currentDate();
        const QList<QVariantList> rows = Journal(killable, database);
        const QList<QVariantList> expected{
            {"Анна", "Урок 1", today, 0},
            {"Анна", "Урок 2", today, 0},
            {"Анна", "Урок 3", today, 0},
            {"Анна", "Урок 4", today, 0},
            {"Анна", "Итоговый тест по курсу", today, 90},
            {"Анна", "Урок 5", QDate(2024, 9, 2), 0},
            {"Анна", "Урок 6", QDate(2024, 9, 3), 0},
            {"Анна", "Урок 7", today, 0},
        };
        QCOMPARE(rows, expected);
        QCOMPARE(Messages.size(), 1);

        // The lists work again on the same connection's successor.
        browser.DBLookupComboBox1Click();
        QVERIFY(Errors.isEmpty());
        Form6 = nullptr;
    }

    void visitsWaitingWhenTheCoursebookClosesAreWrittenAtItsNextStart() {
        TPgServer& killable = KillableServer();
        QVERIFY2(killable.Running(), qPrintable(killable.Failure()));
        const QString database = killable.CreateDatabase();
        QVERIFY(LoadSampleCourse(killable, database));
        const QString student = killable.CreateLogin("coursebook_student");
        TDataModule2::SetServer(killable.Settings(database, student));
        TDataModule2::SetJournalRetryInterval(15000);
        {
            TDataModule2 data;
            QVERIFY(killable.Kill());
            QCOMPARE(
                data.AppendJournal("Закон Ома", "Урок 1", "Борис", "ЭТ-12", 0, QDate(2024, 10, 1)),
                TJournalWrite::Queued);
            QCOMPARE(
                data.AppendJournal("Закон Ома", "Урок 2", "Борис", "ЭТ-12", 0, QDate(2024, 10, 2)),
                TJournalWrite::Queued);
            // With the server away the coursebook cannot start at all; the rows wait in the file.
            TDataModule2::SetServer(killable.Settings(database, student));
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, TDataModule2());
        }
        QVERIFY(killable.Resume());
        // Another server's rows stay where they are.
        TJournalQueue(Scratch.filePath("queue.sqlite"))
            .Add("elsewhere:5432/other", {"т", "у", QDate(2024, 1, 1), 0, "В", "Г"});
        TDataModule2 next;
        QCOMPARE(next.PendingJournal(), 0);
        QCOMPARE(TJournalQueue(Scratch.filePath("queue.sqlite")).Count("elsewhere:5432/other"), 1);
        const QList<QVariantList> rows = Journal(killable, database);
        QCOMPARE(rows, (QList<QVariantList>{{"Борис", "Урок 1", QDate(2024, 10, 1), 0},
                                            {"Борис", "Урок 2", QDate(2024, 10, 2), 0}}));
    }

    void teacherEditDuringOutageIsRefusedAndWorksAfter() {
        TPgServer& killable = KillableServer();
        QVERIFY2(killable.Running(), qPrintable(killable.Failure()));
        const QString database = killable.CreateDatabase();
        QVERIFY(LoadSampleCourse(killable, database));
        TDataModule2::SetServer(
            killable.Settings(database, killable.CreateLogin("coursebook_teacher")));
        TDataModule2 data;
        QVERIFY(killable.Kill());
        QVERIFY(data.Trazdel->Locate("kod_razdel", 1));
        data.Trazdel->Edit();
        data.Trazdel->SetFieldValue("razdel", "Постоянный ток");
        try {
            data.Trazdel->Post();
            QFAIL("a change was taken as stored with the server stopped");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Fault(), TDbFault::Offline);
        }
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, data.TTema->Refresh());
        QVERIFY(killable.Resume());
        data.Trazdel->Post();
        QCOMPARE(
            killable.Scalar(database, "SELECT razdel FROM razdel WHERE kod_razdel = 1").toString(),
            QString("Постоянный ток"));
        data.TTema->Refresh();
        QCOMPARE(data.TTema->RecordCount(), 9);
    }

    // ---- connecting ----

    void passwordIsAskedWhenPgpassHasNone() {
        const QString user = Server().CreateLoginWithoutPgpass("coursebook_student", "Ток-2024");
        QVERIFY(!user.isEmpty());
        TDataModule2::SetServer(Server().Settings(Database, user));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, TDataModule2()); // nobody to ask

        QList<TPasswordRequest> asked;
        QStringList answers{"неверный", "Ток-2024"};
        SetPasswordPrompt([&](const TPasswordRequest& r) -> std::optional<QString> {
            asked << r;
            return answers.isEmpty() ? std::nullopt : std::optional<QString>(answers.takeFirst());
        });
        TDataModule2 data;
        QCOMPARE(data.Turok->RecordCount(), 18);
        QCOMPARE(asked.size(), 2);
        QVERIFY(asked[0].Refusal.isEmpty());
        QVERIFY2(!asked[1].Refusal.isEmpty(), "a wrong password was not said");
        QCOMPARE(asked[0].Server.User, user);

        // Cancelled: no connection, said as such.
        answers.clear();
        try {
            TDataModule2 cancelled;
            QFAIL("a cancelled password opened the database");
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.Text().contains("отменено"), qPrintable(e.Text()));
        }
    }

    void unreachableOrEmptyServerIsSaid() {
        TServerSettings nowhere = Server().Settings(Database, Student);
        nowhere.Port = 1; // nothing listens there
        TDataModule2::SetServer(nowhere);
        try {
            TDataModule2 data;
            QFAIL("a server that is not there was opened");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Fault(), TDbFault::Offline);
        }
        TDataModule2::SetServer(Server().Settings(Server().CreateDatabase(), Teacher));
        try {
            TDataModule2 data;
            QFAIL("a database without the course was opened");
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.Text().contains("coursebook --init-db"), qPrintable(e.Text()));
        }
    }

    void settingsFile_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("display"); // empty: the embedded file
        QTest::addColumn<QString>("refusal");
        QTest::newRow("no file") << QByteArray() << ""
                                 << "";
        QTest::newRow("other groups only") << QByteArray("[Other]\nHost=x\n") << ""
                                           << "";
        QTest::newRow("all four")
            << QByteArray("[Server]\nHost=db.school\nPort=5433\nDatabase=klass\nUser=ann\n")
            << "ann@db.school:5433/klass"
            << "";
        QTest::newRow("database only")
            << QByteArray("[Server]\nDatabase=klass\n") << "localhost:5432/klass"
            << "";
        QTest::newRow("blanks around")
            << QByteArray("[Server]\nHost = db.school \nDatabase= klass\n")
            << "db.school:5432/klass"
            << "";
        QTest::newRow("server without database")
            << QByteArray("[Server]\nHost=db.school\nUser=ann\n") << ""
            << "не указана база данных";
        QTest::newRow("port not a number") << QByteArray("[Server]\nDatabase=k\nPort=five\n") << ""
                                           << "порт";
        QTest::newRow("port out of range") << QByteArray("[Server]\nDatabase=k\nPort=70000\n") << ""
                                           << "порт";
    }

    void settingsFile() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, display);
        QFETCH(QString, refusal);
        const QString path = Scratch.filePath("settings.ini");
        QFile::remove(path);
        if (!ini.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(ini);
        }
        SetServerSettingsFile(path);
        try {
            const TServerSettings s = ReadServerSettings();
            QVERIFY2(refusal.isEmpty(), "bad settings were taken");
            QCOMPARE(s.Configured(), !display.isEmpty());
            if (s.Configured()) QCOMPARE(s.Display(), display);
        } catch (const EDatabaseError& e) {
            QVERIFY2(!refusal.isEmpty(), qPrintable(e.Text()));
            QVERIFY2(e.Text().contains(refusal) && e.Text().contains(path), qPrintable(e.Text()));
        }
        SetServerSettingsFile(QString());
    }

    void installedPackageWithServerMakesNoCopy() {
        QTemporaryDir root;
        QDir().mkpath(root.filePath("share/vexilo"));
        QFile::copy(QStringLiteral(VEXILO_BIN_DIR "/db1.sqlite"),
                    root.filePath("share/vexilo/db1.sqlite"));
        qputenv("XDG_DATA_HOME", root.filePath("home/data").toLocal8Bit());
        TInstallation installed;
        installed.ProgramFolder = root.filePath("bin");
        installed.DataFolder = root.filePath("share/vexilo");
        installed.Portable = false;
        QString error;
        QVERIFY(
            TDataModule2::ChooseDatabase(installed, Server().Settings(Database, Student), &error));
        QVERIFY(!QFileInfo::exists(installed.CourseDatabase()));
        QVERIFY(TDataModule2::Server().Configured());
        QVERIFY(TDataModule2::ChooseDatabase(installed, TServerSettings(), &error));
        QVERIFY2(QFileInfo::exists(installed.CourseDatabase()),
                 qPrintable(installed.CourseDatabase()));
        QCOMPARE(TDataModule2::DatabasePath(), installed.CourseDatabase());
        TDataModule2::SetDatabasePath(QString());
        qunsetenv("XDG_DATA_HOME");
    }

    void initDbCommand() {
        const QString empty = Server().CreateDatabase();
        QTemporaryDir home;
        QDir().mkpath(home.filePath("config/vexilo"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        auto run = [&](const QStringList& args, QByteArray* out) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(QStringLiteral(VEXILO_BIN_DIR "/coursebook"), args);
            p.closeWriteChannel();
            if (!p.waitForFinished(120000)) return -1;
            *out = p.readAll();
            return p.exitCode();
        };
        QByteArray out;
        // Without settings there is no server to fill.
        QCOMPARE(run({"--init-db"}, &out), 1);
        QVERIFY2(out.contains("coursebook.ini"), out.constData());

        const TServerSettings s = Server().Settings(empty, Student);
        QFile ini(home.filePath("config/vexilo/coursebook.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QString("[Server]\nHost=%1\nPort=%2\nDatabase=%3\nUser=%4\n")
                      .arg(s.Host)
                      .arg(s.Port)
                      .arg(s.Database, s.User)
                      .toUtf8());
        ini.close();
        // The student's role may not make tables: nothing is left half made.
        QCOMPARE(run({"--init-db"}, &out), 1);
        QCOMPARE(
            Server()
                .Scalar(
                    empty,
                    "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = 'public'")
                .toInt(),
            0);

        QCOMPARE(run({"--init-db", "--user", Server().AdminUser()}, &out), 0);
        QVERIFY2(out.contains("18 lessons"), out.constData());
        QCOMPARE(Server().Scalar(empty, "SELECT COUNT(*) FROM urok").toInt(), 18);
        QVERIFY(
            Server().Scalar(empty, "SELECT pas FROM pas").toString().startsWith("pbkdf2-sha256$"));
        // A second time changes nothing.
        QVERIFY(Server().Exec(empty, "UPDATE razdel SET razdel = 'Своё' WHERE kod_razdel = 1"));
        QCOMPARE(run({"--init-db", "--user", Server().AdminUser()}, &out), 1);
        QCOMPARE(
            Server().Scalar(empty, "SELECT razdel FROM razdel WHERE kod_razdel = 1").toString(),
            QString("Своё"));
        QCOMPARE(run({"--init-db", "--bogus"}, &out), 2);

        // Students of the new database see the course.
        TDataModule2::SetServer(s);
        TDataModule2 data;
        QCOMPARE(data.Turok->RecordCount(), 18);
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestCoursebookServer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_coursebook_server.moc"
