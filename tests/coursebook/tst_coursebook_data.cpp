// The lesson database: table objects, filters, lookup fields, the journal.
#include "CourseFixture.h"
#include "DataErrors.h"
#include "FilterExpr.h"
#include "TestKey.h"
#include "Unit2.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <memory>

class TestCoursebookData : public QObject {
    Q_OBJECT

    std::unique_ptr<TCourseFolder> Folder;
    std::unique_ptr<TDataModule2> Data;

    QStringList Names(TTable* t, const QString& field) {
        QStringList out;
        for (int i = 0; i < t->RecordCount(); ++i)
            out << t->Value(i, field).toString();
        return out;
    }

private slots:
    void init() {
        Folder = std::make_unique<TCourseFolder>();
        QVERIFY(Folder->CreateDatabase({
            "INSERT INTO razdel VALUES (1, 'Постоянный ток'), (2, 'Переменный ток'), (3, 'Пустой')",
            "INSERT INTO Tema (kod_tema, kod_razdel, tema) VALUES (1, 1, 'Закон Ома'), (2, 1, "
            "'Кирхгоф'), (3, 2, 'Резонанс')",
            "INSERT INTO tip VALUES (1, 'Теория'), (2, 'Практика')",
            "INSERT INTO urok (kod_uroka, kod_razdel, kod_tema, kod_tip, tip, htm) VALUES"
            " (1, 1, 1, 1, 'Урок один', 'a.htm'), (2, 1, 1, 2, 'Урок два', 'b.htm'), (3, 2, 3, 1, "
            "'Урок три', 'c.htm'),"
            " (4, 9, 9, 9, 'Без раздела', 'd.htm')",
            "INSERT INTO jurnal (tema, urok, data, ocenka, fio, gruppa) VALUES"
            " ('т', 'у', '2024-01-10', 0, 'O''Brien', 'A-1'), ('т', 'у', '2024-01-11', 80, "
            "'O''Brien', 'B''2'),"
            " ('т', 'у', '2024-01-12', 0, 'Brien', 'A-1'), ('т', 'у', '2024-01-13', 0, 'O', 'A-1'),"
            " ('т', 'у', '2024-01-14', 0, 'Иванов', 'B''2')",
            "INSERT INTO pas (pas) VALUES ('secret')",
        }));
        Folder->Enter();
        Data = std::make_unique<TDataModule2>();
    }

    void cleanup() {
        Data.reset();
        Folder.reset();
    }

    void filterSelectsRows_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("lessons");
        QTest::newRow("code") << "kod_tema=1" << QStringList{"Урок один", "Урок два"};
        QTest::newRow("spaces and case") << "  KOD_TEMA = 3 " << QStringList{"Урок три"};
        QTest::newRow("and") << "kod_tema=1 and kod_tip=2" << QStringList{"Урок два"};
        QTest::newRow("or") << "kod_tema=3 or kod_tip=2" << QStringList{"Урок два", "Урок три"};
        QTest::newRow("not equal") << "kod_razdel<>1" << QStringList{"Урок три", "Без раздела"};
        QTest::newRow("text") << "tip='Урок три'" << QStringList{"Урок три"};
        QTest::newRow("lookup field") << "tema='Закон Ома'" << QStringList{"Урок один", "Урок два"};
        QTest::newRow("null matches nothing") << "kod_tema=NULL" << QStringList{};
        QTest::newRow("brackets and not")
            << "not (kod_tema=1 or (kod_tema=3))" << QStringList{"Без раздела"};
        QTest::newRow("64 brackets")
            << QString(64, '(') + "kod_tema=3" + QString(64, ')') << QStringList{"Урок три"};
        QTest::newRow("empty shows all")
            << "" << QStringList{"Урок один", "Урок два", "Урок три", "Без раздела"};
    }

    void filterSelectsRows() {
        QFETCH(QString, filter);
        QFETCH(QStringList, lessons);
        Data->Turok->SetFilter(filter);
        Data->Turok->SetFiltered(true);
        QCOMPARE(Names(Data->Turok, "tip"), lessons);
        Data->Turok->SetFiltered(false);
        QCOMPARE(Data->Turok->RecordCount(), 4);
    }

    void badFilterIsRefusedAndKeepsView_data() {
        QTest::addColumn<QString>("filter");
        QTest::newRow("no value") << "kod_razdel=";
        QTest::newRow("open quote") << "fio='O'Brien'";
        QTest::newRow("unknown field") << "nosuch=1";
        QTest::newRow("sql injection") << "kod_tema=1; DROP TABLE urok";
        QTest::newRow("dangling and") << "kod_tema=1 and";
        // Nesting past any sensible depth is refused before it can exhaust the stack.
        QTest::newRow("deep brackets")
            << QString(300000, '(') + "kod_tema=1" + QString(300000, ')');
        QTest::newRow("deep not") << QString("not ").repeated(300000) + "kod_tema=1";
        QTest::newRow("65 brackets") << QString(65, '(') + "kod_tema=1" + QString(65, ')');
    }

    void badFilterIsRefusedAndKeepsView() {
        QFETCH(QString, filter);
        Data->Turok->SetFilter("kod_tema=1");
        Data->Turok->SetFiltered(true);
        Data->Turok->Last();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, Data->Turok->SetFilter(filter));
        QCOMPARE(Data->Turok->Filter(), QString("kod_tema=1"));
        QCOMPARE(Names(Data->Turok, "tip"), (QStringList{"Урок один", "Урок два"}));
        QCOMPARE(Data->Turok->FieldText("tip"), QString("Урок два"));
        Data->Turok->SetFiltered(false);
        QCOMPARE(Data->Turok->RecordCount(), 4);
    }

    void journalFilterQuotesTypedText_data() {
        QTest::addColumn<QString>("fio");
        QTest::addColumn<QString>("gruppa");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QStringList>("days");
        QTest::newRow("name with apostrophe")
            << "O'Brien"
            << ""
            << "fio='O''Brien'" << QStringList{"2024-01-10", "2024-01-11"};
        QTest::newRow("group with apostrophe")
            << ""
            << "B'2"
            << "gruppa='B''2'" << QStringList{"2024-01-11", "2024-01-14"};
        QTest::newRow("both") << "O'Brien"
                              << "A-1"
                              << "fio='O''Brien' and gruppa='A-1'" << QStringList{"2024-01-10"};
        QTest::newRow("text that looks like a filter") << "x' or '1'='1"
                                                       << ""
                                                       << "fio='x'' or ''1''=''1'" << QStringList{};
        QTest::newRow("neither") << ""
                                 << ""
                                 << ""
                                 << QStringList{"2024-01-10", "2024-01-11", "2024-01-12",
                                                "2024-01-13", "2024-01-14"};
    }

    void journalFilterQuotesTypedText() {
        QFETCH(QString, fio);
        QFETCH(QString, gruppa);
        QFETCH(QString, expression);
        QFETCH(QStringList, days);
        const QString filter = TDataModule2::JournalFilter(fio, gruppa);
        QCOMPARE(filter, expression);
        Data->Tjurnal->SetFilter(filter);
        Data->Tjurnal->SetFiltered(true);
        QCOMPARE(Names(Data->Tjurnal, "data"), days);
    }

    void lookupFieldsFollowOtherTables() {
        QVERIFY(Data->Turok->Locate("kod_uroka", 2));
        QCOMPARE(Data->Turok->FieldText("razdel"), QString("Постоянный ток"));
        QCOMPARE(Data->Turok->FieldText("tema"), QString("Закон Ома"));
        QCOMPARE(Data->Turok->FieldText("tip_uroka"), QString("Практика"));
        QVERIFY(Data->Turok->Locate("kod_uroka", 4));
        QVERIFY(Data->Turok->FieldValue("tema").isNull());

        // Renaming a topic shows in the lessons once they are read again.
        QVERIFY(Data->TTema->Locate("kod_tema", 1));
        Data->TTema->Edit();
        Data->TTema->SetFieldValue("tema", "Ом");
        Data->TTema->Post();
        Data->Turok->Refresh();
        QVERIFY(Data->Turok->Locate("kod_uroka", 1));
        QCOMPARE(Data->Turok->FieldText("tema"), QString("Ом"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                                 (Data->Turok->Edit(), Data->Turok->SetFieldValue("tema", "x")));
        Data->Turok->Cancel();
    }

    void refilteringKeepsCurrentRowWhileVisible() {
        Data->TTema->SetFilter("kod_razdel=1");
        Data->TTema->SetFiltered(true);
        QVERIFY(Data->TTema->Locate("kod_tema", 2));
        Data->TTema->SetFilter("kod_razdel=1");
        QCOMPARE(Data->TTema->FieldText("tema"), QString("Кирхгоф"));
        Data->TTema->SetFilter("kod_razdel=2");
        QCOMPARE(Data->TTema->FieldText("tema"), QString("Резонанс"));
        Data->TTema->SetFilter("kod_razdel=3");
        QVERIFY(Data->TTema->IsEmpty());
        QVERIFY(Data->TTema->FieldValue("kod_tema").isNull());
    }

    void postWritesThroughAndFailedPostKeepsEditing() {
        Data->Trazdel->Insert();
        Data->Trazdel->SetFieldValue("kod_razdel", 7);
        Data->Trazdel->SetFieldValue("razdel", "Новый");
        Data->Trazdel->Post();
        QCOMPARE(Data->Trazdel->FieldText("razdel"), QString("Новый"));

        // A second row with the same key breaks the table's rule; the row stays in insert state.
        Data->Trazdel->Insert();
        Data->Trazdel->SetFieldValue("kod_razdel", 7);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, Data->Trazdel->Post());
        QCOMPARE(Data->Trazdel->State(), TDataSetState::dsInsert);
        Data->Trazdel->Cancel();

        Data.reset();
        Data = std::make_unique<TDataModule2>();
        QVERIFY(Data->Trazdel->Locate("kod_razdel", 7));
        Data->Trazdel->Delete();
        QCOMPARE(Data->Trazdel->RecordCount(), 3);
        QVERIFY(!Data->Trazdel->Locate("kod_razdel", 7));
    }

    void rowBeingEditedStaysCurrentThroughNewFilter() {
        // The editor stores a new lesson by showing its topic's lessons: the new one must be the
        // current row afterwards, though the old view never had it.
        Data->Turok->SetFilter("kod_tema=3");
        Data->Turok->SetFiltered(true);
        Data->Turok->Insert();
        Data->Turok->SetFieldValue("kod_tema", 1);
        Data->Turok->SetFieldValue("tip", "Новый урок");
        Data->Turok->SetFilter("kod_tema=1");
        QCOMPARE(Data->Turok->State(), TDataSetState::dsBrowse);
        QCOMPARE(Data->Turok->FieldText("tip"), QString("Новый урок"));
        QCOMPARE(Names(Data->Turok, "tip"), (QStringList{"Урок один", "Урок два", "Новый урок"}));

        Data->Turok->Edit();
        Data->Turok->SetFieldValue("kod_tema", 3);
        Data->Turok->SetFiltered(false);
        QCOMPARE(Data->Turok->FieldText("tip"), QString("Новый урок"));
        QCOMPARE(Data->Turok->FieldValue("kod_tema").toInt(), 3);
    }

    void newRowsGetTheirKeys() {
        Data->Trazdel->Insert();
        Data->Trazdel->SetFieldValue("razdel", "Четвёртый");
        Data->Trazdel->Post();
        QCOMPARE(Data->Trazdel->FieldValue("kod_razdel").toInt(), 4);
        Data->Ttip->Insert();
        Data->Ttip->SetFieldValue("kod_tip", 10); // a key given by hand is kept
        Data->Ttip->Post();
        Data->Ttip->Insert();
        Data->Ttip->Post();
        QCOMPARE(Names(Data->Ttip, "kod_tip"), (QStringList{"1", "2", "10", "11"}));
    }

    void deleteViewTakesOnlyTheView() {
        Data->Tjurnal->SetFilter(TDataModule2::JournalFilter("O'Brien", ""));
        Data->Tjurnal->SetFiltered(true);
        QCOMPARE(Data->Tjurnal->DeleteView(), 2);
        QVERIFY(Data->Tjurnal->IsEmpty());
        Data->Tjurnal->SetFiltered(false);
        QCOMPARE(Names(Data->Tjurnal, "fio"), (QStringList{"Brien", "O", "Иванов"}));
    }

    void appendJournalStoresVisit() {
        const int before = Data->Tjurnal->RecordCount();
        Data->AppendJournal("Закон Ома", "Урок один", "Анна", "ЭТ-11", 0, QDate(2024, 3, 5));
        QCOMPARE(Data->Tjurnal->RecordCount(), before + 1);
        Data.reset();
        Data = std::make_unique<TDataModule2>();
        Data->Tjurnal->Last();
        QCOMPARE(Data->Tjurnal->FieldText("data"), QString("2024-03-05"));
        QCOMPARE(Data->Tjurnal->FieldText("fio"), QString("Анна"));
        QCOMPARE(Data->Tjurnal->FieldText("gruppa"), QString("ЭТ-11"));
        QCOMPARE(Data->Tjurnal->FieldText("tema"), QString("Закон Ома"));
        QCOMPARE(Data->Tjurnal->FieldText("urok"), QString("Урок один"));
        QCOMPARE(Data->Tjurnal->FieldValue("ocenka").toInt(), 0);
    }

    void workingDirectoryDecidesDatabase() {
        if (OnServer()) QSKIP("a class database on a server has no file");
        Data.reset();
        TCourseFolder other;
        QVERIFY(other.CreateDatabase({"INSERT INTO razdel VALUES (5, 'Другой курс')"}));
        other.Enter();
        TDataModule2 there;
        QCOMPARE(Names(there.Trazdel, "razdel"), QStringList{"Другой курс"});

        TCourseFolder empty;
        empty.Enter();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, TDataModule2());
        // The failed start must not leave an empty database behind for the next start to open.
        QVERIFY(!QFileInfo::exists(empty.Path("db1.sqlite")));
    }

    void fileThatIsNoDatabaseIsSaidSo_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("said");
        QTest::newRow("text")
            << QByteArray("this is not a database, only a few words of text\n").repeated(40)
            << "не является базой данных";
        QByteArray noise(8192, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("random bytes") << noise << "не является базой данных";
        // A lesson database whose catalogue page was overwritten after its header.
        QTest::newRow("damaged") << QByteArray() << "повреждён";
    }

    void fileThatIsNoDatabaseIsSaidSo() {
        if (OnServer()) QSKIP("a class database on a server has no file");
        QFETCH(QByteArray, content);
        QFETCH(QString, said);
        Data.reset();
        TCourseFolder broken;
        if (content.isEmpty()) {
            QVERIFY(broken.CreateDatabase({"INSERT INTO razdel VALUES (1, 'Раздел')"}));
            QFile f(broken.Path("db1.sqlite"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            content = f.readAll();
            content.replace(100, 900, QByteArray(900, '\xff'));
        }
        broken.WriteFile("db1.sqlite", content);
        broken.Enter();
        try {
            TDataModule2 data;
            QFAIL("a broken file was opened as a lesson database");
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.Text().contains(said), qPrintable(e.Text()));
            QVERIFY2(!e.Text().contains("Таблица"), qPrintable(e.Text()));
        }
    }

    // ---- test keys and grading ----

    void answerKeyLines_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<QString>("refusal"); // what the refusal says, empty when read
        QTest::newRow("one letter each")
            << QByteArray("A\r\nB\r\nE\r\n") << QList<int>{1, 2, 5} << "";
        QTest::newRow("highest letter on the line")
            << QByteArray("A C\n1. D) b\nquestion 3: B\n") << QList<int>{3, 4, 2} << "";
        QTest::newRow("Cyrillic look-alikes")
            << QByteArray("\xd0\x90\n\xd0\x92\n\xd0\xa1\n\xd0\x95\nD\n")
            << QList<int>{1, 2, 3, 5, 4} << "";
        QTest::newRow("Cyrillic in the single-byte code page")
            << QByteArray("\xd1\r\n\xc2\r\nA\r\n") << QList<int>{3, 2, 1} << "";
        QTest::newRow("byte order mark, no last newline") << QByteArray("\xef\xbb\xbf"
                                                                        "C\nA")
                                                          << QList<int>{3, 1} << "";
        QTest::newRow("blank lines at the end")
            << QByteArray("B\n\n  \r\n\n") << QList<int>{2} << "";
        QTest::newRow("blank line inside") << QByteArray("A\n\nC\n") << QList<int>{} << "строке 2";
        QTest::newRow("small letter only") << QByteArray("A\nB\nb\n") << QList<int>{} << "строке 3";
        QTest::newRow("empty file") << QByteArray() << QList<int>{} << "пуст";
        QTest::newRow("only blank lines") << QByteArray("\r\n\r\n") << QList<int>{} << "пуст";
    }

    void answerKeyLines() {
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, codes);
        QFETCH(QString, refusal);
        try {
            const QList<int> read = ParseAnswerKey(file, "otwet.txt");
            QVERIFY2(refusal.isEmpty(), "a bad key was accepted");
            QCOMPARE(read, codes);
        } catch (const ETestError& e) {
            QVERIFY2(!refusal.isEmpty(), qPrintable(e.Text()));
            QVERIFY2(e.Text().contains(refusal) && e.Text().contains("otwet.txt"),
                     qPrintable(e.Text()));
        }
    }

    void percentageAndGrade_data() {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("grade");
        QTest::newRow("none") << 0 << 40 << 0 << 0;
        QTest::newRow("20 of 40") << 20 << 40 << 50 << 2; // 2.5 goes to 2
        QTest::newRow("28 of 40") << 28 << 40 << 70 << 4; // 3.5 goes to 4
        QTest::newRow("36 of 40") << 36 << 40 << 90 << 4; // 4.5 goes to 4
        QTest::newRow("all 40") << 40 << 40 << 100 << 5;
        QTest::newRow("1 of 8") << 1 << 8 << 12 << 1; // 12.5 % goes to 12
        QTest::newRow("3 of 8") << 3 << 8 << 38 << 2; // 37.5 % goes to 38
        QTest::newRow("1 of 3") << 1 << 3 << 33 << 2;
        QTest::newRow("2 of 3") << 2 << 3 << 67 << 3;
    }

    void percentageAndGrade() {
        QFETCH(int, right);
        QFETCH(int, total);
        QFETCH(int, percent);
        QFETCH(int, grade);
        QCOMPARE(TestPercentage(right, total), percent);
        QCOMPARE(TestGrade(right, total), grade);
    }

    void questionDraws() {
        QRandomGenerator random(20240517);
        QSet<int> everyPage;
        for (int q = 1; q <= 40; ++q)
            everyPage.insert(q);
        bool repeated = false;
        for (int run = 0; run < 50; ++run) {
            const QList<int> any = DrawQuestions(40, 40, false, random);
            QCOMPARE(any.size(), 40);
            for (int q : any)
                QVERIFY(q >= 1 && q <= 40);
            repeated = repeated || QSet<int>(any.begin(), any.end()).size() < 40;

            // Without repeats: a bank of 45 pages gives 40 different ones; 40 give all of them.
            const QList<int> bank = DrawQuestions(45, 40, true, random);
            QCOMPARE(QSet<int>(bank.begin(), bank.end()).size(), 40);
            for (int q : bank)
                QVERIFY(q >= 1 && q <= 45);
            const QList<int> all = DrawQuestions(40, 40, true, random);
            QCOMPARE(QSet<int>(all.begin(), all.end()), everyPage);
        }
        // Independent draws do repeat pages (forty from forty almost always does).
        QVERIFY(repeated);
    }

    void testFolderOptions() {
        TCourseFolder folder;
        folder.WriteFile("t/otwet.txt", "A\nB\nC\n");
        QCOMPARE(ReadTestKey(folder.Path("t")).WithoutRepeats, false);
        folder.WriteFile("t/test.ini", "[Test]\nDraw=WithoutRepeats\n");
        const TTestKey key = ReadTestKey(folder.Path("t"));
        QCOMPARE(key.Codes, (QList<int>{1, 2, 3}));
        QCOMPARE(key.WithoutRepeats, true);
        QVERIFY_THROWS_EXCEPTION(ETestError, ReadTestKey(folder.Path("nothing")));
    }

    void databaseElsewhere_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "data/vexilo";
        // A user's data folder may carry blanks, Cyrillic letters and characters that mean
        // something in a URI.
        QTest::newRow("blanks and Cyrillic") << "Мои данные/vexilo";
        QTest::newRow("URI characters") << "a?b#c%20d/vexilo";
    }

    void databaseElsewhere() {
        if (OnServer()) QSKIP("a class database on a server has no file");
        // An installed coursebook opens the user's copy by its full path, whatever the working
        // directory (the course folder) holds; the journal goes into that copy.
        QFETCH(QString, folder);
        Data.reset();
        TCourseFolder user;
        QVERIFY(user.CreateDatabase({"INSERT INTO razdel VALUES (1, 'Раздел пользователя')"}));
        const QString path = user.Path(folder + "/db1.sqlite");
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(QFile::rename(user.Path("db1.sqlite"), path));
        TDataModule2::SetDatabasePath(path);
        {
            TDataModule2
                data; // the working directory is still the fixture's, with its own db1.sqlite
            QCOMPARE(Names(data.Trazdel, "razdel"), QStringList{"Раздел пользователя"});
            data.AppendJournal("т", "у", "Иванов", "ЭТ-11", 0);
        }
        {
            TDataModule2 again;
            QCOMPARE(again.Tjurnal->RecordCount(), 1);
        }
        TDataModule2::SetDatabasePath(QString());
        // Without a path of its own, the working directory's file again.
        TDataModule2 local;
        QCOMPARE(local.Trazdel->RecordCount(), 3);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestCoursebookData test;
    return RunOnBothDatabases(&test, argc, argv);
}
#include "tst_coursebook_data.moc"
