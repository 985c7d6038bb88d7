// The teacher's side of the coursebook: the edit password, the lesson editor's pages, binding
// files to a lesson, and the journal's filters and clean-up.
#include "CourseFixture.h"
#include "DBCtrls.h"
#include "DBGrid.h"
#include "DataErrors.h"
#include "Dialogs.h"
#include "EditPassword.h"
#include "ErrorReport.h"
#include "Unit1.h"
#include "Unit13.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Unit7.h"
#include "platform/PasswordHash.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>
#include <memory>

class TestCoursebookEditor : public QObject {
    Q_OBJECT

    std::unique_ptr<TCourseFolder> Folder;
    std::unique_ptr<TForm6> Welcome;
    std::unique_ptr<TForm1> Browser;
    std::unique_ptr<TForm13> Test;
    std::unique_ptr<TForm4> Editor;
    std::unique_ptr<TDataModule2> Data;
    std::unique_ptr<TForm3> Picture;
    std::unique_ptr<TForm5> Result;
    std::unique_ptr<TForm7> Password;
    QStringList Errors;
    QStringList Messages;
    bool Answer = true;      // what the user answers a question
    QStringList ChosenFiles; // what the file dialogs answer, in turn
    QList<TOpenFileRequest> FileRequests;

    void Start(const QString& storedPassword) {
        Folder = std::make_unique<TCourseFolder>();
        QStringList sql = {
            "INSERT INTO razdel VALUES (1, 'Постоянный ток'), (2, 'Пустой раздел')",
            "INSERT INTO Tema (kod_tema, kod_razdel, tema) VALUES (1, 1, 'Закон Ома'), (2, 1, "
            "'Тема без уроков')",
            "INSERT INTO tip VALUES (1, 'Теория'), (2, 'Тест')",
            "INSERT INTO urok (kod_uroka, kod_razdel, kod_tema, kod_tip, urok, tip, htm, jpg, wav, "
            "mid, avi, test, exe)"
            " VALUES (1, 1, 1, 1, 'Ом', 'Закон Ома', 'pages/om.htm', 'w', 'w', 'w', 'w', 'w', 'w')",
            "INSERT INTO gruppa (gruppa) VALUES ('ЭТ-11'), ('ЭТ-12')",
            "INSERT INTO fio VALUES (1, 'Иванова Анна', 'ЭТ-11')",
            "INSERT INTO jurnal (tema, urok, data, ocenka, fio, gruppa) VALUES"
            " ('т', 'у', '2024-01-10', 0, 'O''Brien', 'ЭТ-11'), ('т', 'у', '2024-01-11', 80, "
            "'O''Brien', 'ЭТ-11'),"
            " ('т', 'у', '2024-01-12', 0, 'O''Brien', 'ЭТ-11'), ('т', 'у', '2024-01-13', 0, "
            "'Brien', 'ЭТ-11'),"
            " ('т', 'у', '2024-01-14', 0, 'Иванова Анна', 'ЭТ-12')",
        };
        if (!storedPassword.isNull())
            sql << QStringLiteral("INSERT INTO pas (pas) VALUES ('%1')").arg(storedPassword);
        QVERIFY(Folder->CreateDatabase(sql));
        Folder->WriteFile("zas.mht", "<title>start</title>");
        Folder->WriteFile("pages/om.htm", "<title>Ом</title>");
        Folder->WriteFile("uroki/new.htm", "<html><head><meta charset=\"utf-8\"><title>Новый "
                                           "урок</title></head><body>новый</body></html>");
        Folder->WriteFile("kartinki/new.jpg", "");
        Folder->Enter();

        // The program's start-up order.
        Welcome = std::make_unique<TForm6>();
        Form6 = Welcome.get();
        Browser = std::make_unique<TForm1>();
        Form1 = Browser.get();
        Test = std::make_unique<TForm13>();
        Form13 = Test.get();
        Browser->TestWindow = Test.get();
        Editor = std::make_unique<TForm4>();
        Form4 = Editor.get();
        Browser->EditorWindow = Editor.get();
        Data = std::make_unique<TDataModule2>();
        DataModule2 = Data.get();
        Browser->LinkData(Data.get());
        Editor->LinkData(Data.get(), Browser->WorkDir);
        Picture = std::make_unique<TForm3>();
        Form3 = Picture.get();
        Result = std::make_unique<TForm5>();
        Form5 = Result.get();
        Password = std::make_unique<TForm7>();
        Form7 = Password.get();
        Password->LinkData(Data.get());
        Browser->PasswordWindow = Password.get();

        QTest::mouseClick(Welcome->Button1, Qt::LeftButton);
        Browser->FormActivate();
        Editor->show();
    }

    // Key presses with the typed letters, Cyrillic ones too.
    static void Type(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }

    // Types into the password window's upper box and presses a button of it.
    void Enter(const QString& typed, QPushButton* button) {
        Password->Edit1->clear();
        Type(Password->Edit1, typed);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void ChangePassword(const QString& first, const QString& second) {
        QVERIFY(!Password->LowerPanel->isHidden());
        Type(Password->Edit2, first);
        Type(Password->Edit3, second);
        QTest::mouseClick(Password->Button3, Qt::LeftButton);
    }

    // Whether the typed password unlocks the editor in a fresh run.
    bool Unlocks(const QString& typed) {
        Browser->SetButton1Visible(false);
        Enter(typed, Password->Button1);
        return Browser->Button1Visible();
    }

    QString StoredPassword() {
        QSqlQuery q(QSqlDatabase::database(Data->ConnectionName()));
        q.exec("SELECT pas FROM pas");
        return q.next() ? q.value(0).toString() : QString();
    }

    void Choose(TDBLookupComboBox* box, const QString& text) {
        const int index = box->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    QStringList Column(TTable* t, const QString& field) {
        QStringList out;
        for (int i = 0; i < t->RecordCount(); ++i)
            out << t->Value(i, field).toString();
        return out;
    }

    int Count(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(Data->ConnectionName()));
        q.exec(sql);
        return q.next() ? q.value(0).toInt() : -1;
    }

private slots:
    void initTestCase() {
        SetErrorReport([this](const QString& text) { Errors << text; });
        SetMessageHandler([this](const TMessageRequest& r) {
            Messages << r.Text;
            return r.Kind == TMessageKind::Question ? Answer : true;
        });
        SetOpenFileHandler([this](const TOpenFileRequest& r) {
            FileRequests << r;
            return ChosenFiles.isEmpty() ? QString() : ChosenFiles.takeFirst();
        });
    }

    void init() {
        Errors.clear();
        Messages.clear();
        Answer = true;
        ChosenFiles.clear();
        FileRequests.clear();
    }

    void cleanup() {
        Form7 = nullptr;
        Form5 = nullptr;
        Form3 = nullptr;
        Form4 = nullptr;
        Form13 = nullptr;
        Form1 = nullptr;
        Form6 = nullptr;
        DataModule2 = nullptr;
        Password.reset();
        Result.reset();
        Picture.reset();
        Editor.reset();
        Test.reset();
        Browser.reset();
        Data.reset();
        Welcome.reset();
        Folder.reset();
    }

    // ---- the edit password ----

    void passwordUnlocksAndChanges() {
        Start(HashPassword("torvane"));
        Browser->N1Click();
        QVERIFY(Password->isVisible());
        QVERIFY(!Browser->Button1Visible());
        Enter("wrong", Password->Button1);
        QVERIFY(!Browser->Button1Visible());
        QVERIFY(Messages.isEmpty()); // a wrong entry is not commented on
        Enter("torvane", Password->Button1);
        QVERIFY(Browser->Button1Visible());

        Enter("wrong", Password->Button2);
        QCOMPARE(Messages, QStringList{"Пароль неверный"});
        QVERIFY(Password->LowerPanel->isHidden());

        // Two different new passwords: nothing changes.
        Enter("torvane", Password->Button2);
        ChangePassword("новый1", "новый2");
        QCOMPARE(Messages.last(), QString("Пароли не совпадают"));
        QVERIFY(Password->LowerPanel->isHidden());
        // An empty one is refused too, and does not unlock anything later.
        Enter("torvane", Password->Button2);
        ChangePassword("", "");
        QCOMPARE(Messages.last(), QString("Пароль не может быть пустым"));
        QVERIFY(Unlocks("torvane"));
        QVERIFY(!Unlocks(""));

        Enter("torvane", Password->Button2);
        ChangePassword("Новый-Пароль", "Новый-Пароль");
        QCOMPARE(Messages.last(), QString("Пароль успешно изменен"));
        QVERIFY(Unlocks("Новый-Пароль"));
        QVERIFY(!Unlocks("torvane"));
        QVERIFY(!Unlocks("новый-пароль"));
        const QString stored = StoredPassword();
        QVERIFY(IsPasswordHash(stored));
        QVERIFY(!stored.contains("Новый"));

        // The lower "Ввод" alone, without the old password, changes nothing.
        Password->LowerPanel->show();
        Type(Password->Edit2, "x");
        Type(Password->Edit3, "x");
        QTest::mouseClick(Password->Button3, Qt::LeftButton);
        QCOMPARE(StoredPassword(), stored);
        QVERIFY(Errors.isEmpty());
    }

    void plainPasswordAcceptedOnceThenHashed() {
        Start("secret");
        QCOMPARE(CheckEditPassword(Data->Tpas, "Secret"), TPasswordCheck::Wrong);
        QCOMPARE(StoredPassword(), QString("secret"));
        QVERIFY(Unlocks("secret"));
        const QString stored = StoredPassword();
        QVERIFY(IsPasswordHash(stored));
        QVERIFY(PasswordHashMatches("secret", stored));
        // Stays the password after the upgrade, also for the next run of the program.
        Data.reset();
        Data = std::make_unique<TDataModule2>();
        DataModule2 = Data.get();
        Password->LinkData(Data.get());
        Browser->LinkData(Data.get());
        QVERIFY(Unlocks("secret"));
        QVERIFY(!Unlocks("secrets"));
        QCOMPARE(StoredPassword(), stored);
    }

    void noPasswordStoredAsksToSetOne_data() {
        QTest::addColumn<QString>("stored"); // null: the table has no row
        QTest::newRow("empty table") << QString();
        QTest::newRow("empty value") << QString("");
    }

    void noPasswordStoredAsksToSetOne() {
        QFETCH(QString, stored);
        Start(stored);
        Enter("", Password->Button1);
        QVERIFY(!Browser->Button1Visible());
        QCOMPARE(Messages.size(), 1);
        QVERIFY2(Messages[0].contains("не задан"), qPrintable(Messages[0]));
        ChangePassword("учитель", "учитель");
        QCOMPARE(Messages.last(), QString("Пароль успешно изменен"));
        QVERIFY(Unlocks("учитель"));
        QVERIFY(!Unlocks(""));
        QCOMPARE(Count("SELECT COUNT(*) FROM pas"), 1);
    }

    // ---- files of a lesson ----

    void courseRelativePath_data() {
        QTest::addColumn<QString>("dir");    // the course folder, relative to a scratch folder
        QTest::addColumn<QString>("chosen"); // the file chosen
        QTest::addColumn<QString>("stored");
        QTest::newRow("inside") << "course"
                                << "course/uroki/om.htm"
                                << "uroki/om.htm";
        QTest::newRow("top level") << "course"
                                   << "course/zas.mht"
                                   << "zas.mht";
        QTest::newRow("folder given with a separator") << "course/"
                                                       << "course/uroki/om.htm"
                                                       << "uroki/om.htm";
        QTest::newRow("outside") << "course"
                                 << "elsewhere/om.htm"
                                 << "";
        QTest::newRow("folder with the same beginning") << "course"
                                                        << "course2/om.htm"
                                                        << "";
        QTest::newRow("back out through ..") << "course"
                                             << "course/../elsewhere/om.htm"
                                             << "";
        QTest::newRow("through a link to the course") << "link"
                                                      << "course/uroki/om.htm"
                                                      << "uroki/om.htm";
    }

    void courseRelativePath() {
        QFETCH(QString, dir);
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        QTemporaryDir scratch;
        for (const char* f :
             {"course/uroki/om.htm", "course/zas.mht", "elsewhere/om.htm", "course2/om.htm"}) {
            QDir().mkpath(QFileInfo(scratch.filePath(f)).absolutePath());
            QFile file(scratch.filePath(f));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(scratch.filePath("course"), scratch.filePath("link")));
        QCOMPARE(CourseRelativePath(scratch.path() + "/" + dir, scratch.filePath(chosen)), stored);
    }

    void newLessonFoundInBrowser() {
        Start(HashPassword("torvane"));
        Enter("torvane", Password->Button1);
        QTest::mouseClick(Browser->Button1, Qt::LeftButton);
        QVERIFY(Editor->isVisible());

        Editor->PageControl1->setCurrentIndex(0);
        // A section.
        QTest::mouseClick(Editor->Button1, Qt::LeftButton);
        Type(Editor->SectionEdit, "Магнетизм");
        QTest::mouseClick(Editor->Button3, Qt::LeftButton);
        QCOMPARE(Data->Trazdel->FieldText("razdel"), QString("Магнетизм"));
        QCOMPARE(Data->Trazdel->FieldValue("kod_razdel").toInt(), 3);

        Editor->PageControl1->setCurrentIndex(1);
        // A topic in it.
        QTest::mouseClick(Editor->Button4, Qt::LeftButton);
        QVERIFY(!Editor->TopicSection->isHidden());
        Choose(Editor->TopicSection, "Магнетизм");
        Type(Editor->TopicEdit, "Катушка с током");
        QTest::mouseClick(Editor->Button6, Qt::LeftButton);
        QVERIFY(Editor->TopicSection->isHidden());
        QCOMPARE(Column(Data->TTema, "tema"), QStringList{"Катушка с током"});
        QCOMPARE(Column(Data->TTema, "razdel"), QStringList{"Магнетизм"});

        Editor->PageControl1->setCurrentIndex(3);
        // A lesson in that topic, with its page and picture from the course folder.
        QTest::mouseClick(Editor->Button10, Qt::LeftButton);
        QVERIFY(!Editor->FilePanel->isHidden());
        Choose(Editor->LessonSection, "Магнетизм");
        Choose(Editor->LessonTopic, "Катушка с током");
        Choose(Editor->LessonType, "Теория");
        Type(Editor->LessonTitle, "Магнитное поле катушки");
        ChosenFiles = {Folder->Path("uroki/new.htm"), Folder->Path("kartinki/new.jpg")};
        QTest::mouseClick(Editor->Button13, Qt::LeftButton);
        QTest::mouseClick(Editor->Button14, Qt::LeftButton);
        QCOMPARE(FileRequests.size(), 2);
        QCOMPARE(FileRequests[0].Filter,
                 QString("HTML документы|*.htm;*.mht;*.html|Все файлы|*.*"));
        QCOMPARE(QDir(FileRequests[0].Folder), QDir(Folder->Path()));
        QVERIFY(FileRequests[1].PicturePreview);
        QTest::mouseClick(Editor->Button12, Qt::LeftButton);
        QVERIFY(Editor->FilePanel->isHidden());
        QCOMPARE(Data->Turok->State(), TDataSetState::dsBrowse);
        QCOMPARE(Data->Turok->FieldText("htm"), QString("uroki/new.htm"));
        QCOMPARE(Data->Turok->FieldText("jpg"), QString("kartinki/new.jpg"));
        QCOMPARE(Data->Turok->FieldText("avi"), QString("w")); // nothing bound: no such item
        QCOMPARE(Data->Turok->FieldText("tip_uroka"), QString("Теория"));
        QCOMPARE(Data->Turok->FieldValue("kod_razdel").toInt(), 3);

        // The student finds it in the browser's lists and opens it.
        Editor->close();
        QApplication::sendEvent(Browser.get(), new QEvent(QEvent::WindowActivate));
        Choose(Browser->DBLookupComboBox1, "Магнетизм");
        Choose(Browser->DBLookupComboBox2, "Катушка с током");
        Choose(Browser->DBLookupComboBox3, "Магнитное поле катушки");
        QTRY_COMPARE(Browser->WebBrowser1->url(),
                     QUrl::fromLocalFile(Folder->Path("uroki/new.htm")));
        QVERIFY(Browser->ToolButton1->isEnabled());
        QVERIFY(!Browser->ToolButton2->isEnabled());
        QVERIFY2(Errors.isEmpty() && Messages.isEmpty(),
                 qPrintable((Errors + Messages).join('\n')));
    }

    void fileOutsideCourseIsRefused() {
        Start(HashPassword("x"));
        QTemporaryDir elsewhere;
        QFile outside(elsewhere.filePath("page.htm"));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        outside.close();
        Editor->PageControl1->setCurrentIndex(3);
        Data->Turok->SetFiltered(false);
        QVERIFY(Data->Turok->Locate("kod_uroka", 1));
        QTest::mouseClick(Editor->Button11, Qt::LeftButton);
        ChosenFiles = {outside.fileName()};
        QTest::mouseClick(Editor->Button13, Qt::LeftButton);
        QCOMPARE(Messages.size(), 1);
        QVERIFY2(Messages[0].contains("вне папки курса"), qPrintable(Messages[0]));
        QTest::mouseClick(Editor->Button12, Qt::LeftButton);
        QCOMPARE(Data->Turok->FieldText("htm"), QString("pages/om.htm"));
        // A cancelled dialog changes nothing either.
        QTest::mouseClick(Editor->Button11, Qt::LeftButton);
        QTest::mouseClick(Editor->Button13, Qt::LeftButton);
        QTest::mouseClick(Editor->Button12, Qt::LeftButton);
        QCOMPARE(Data->Turok->FieldText("htm"), QString("pages/om.htm"));
    }

    void unfinishedRowsAreRefused() {
        Start(HashPassword("x"));
        Editor->PageControl1->setCurrentIndex(1);
        // A topic without a section, and a lesson without a topic, would never show in the browser.
        QTest::mouseClick(Editor->Button4, Qt::LeftButton);
        Data->TTema->SetFieldValue("kod_razdel", QVariant());
        Type(Editor->TopicEdit, "Сирота");
        QTest::mouseClick(Editor->Button6, Qt::LeftButton);
        QCOMPARE(Data->TTema->State(), TDataSetState::dsInsert);
        QVERIFY(Messages.last().contains("раздел"));
        Data->TTema->Cancel();
        Editor->PageControl1->setCurrentIndex(3);
        QTest::mouseClick(Editor->Button10, Qt::LeftButton);
        Type(Editor->LessonTitle, "Без темы");
        QTest::mouseClick(Editor->Button12, Qt::LeftButton);
        QCOMPARE(Data->Turok->State(), TDataSetState::dsInsert);
        QVERIFY(Messages.last().contains("тему"));

        // Closing the editor over an unfinished row asks; "no" drops it.
        Editor->show();
        Answer = false;
        QVERIFY(Editor->close());
        QCOMPARE(Data->Turok->State(), TDataSetState::dsBrowse);
        QCOMPARE(Count("SELECT COUNT(*) FROM urok"), 1);
        QCOMPARE(Count("SELECT COUNT(*) FROM Tema"), 2);
    }

    // ---- deleting what lessons use ----

    void deletingWhatLessonsUse_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("key");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("section with topics and lessons")
            << 0 << "kod_razdel" << QVariant(1) << false;
        QTest::newRow("empty section") << 0 << "kod_razdel" << QVariant(2) << true;
        QTest::newRow("topic with a lesson") << 1 << "kod_tema" << QVariant(1) << false;
        QTest::newRow("topic without lessons") << 1 << "kod_tema" << QVariant(2) << true;
        QTest::newRow("type in use") << 2 << "kod_tip" << QVariant(1) << false;
        QTest::newRow("unused type") << 2 << "kod_tip" << QVariant(2) << true;
    }

    void deletingWhatLessonsUse() {
        QFETCH(int, page);
        QFETCH(QString, field);
        QFETCH(QVariant, key);
        QFETCH(bool, deleted);
        Start(HashPassword("x"));
        TDBNavigator* navigator[] = {Editor->SectionNavigator, Editor->TopicNavigator,
                                     Editor->TypeNavigator};
        TTable* table[] = {Data->Trazdel, Data->TTema, Data->Ttip};
        Editor->PageControl1->setCurrentIndex(page < 2 ? page : 2);
        table[page]->SetFiltered(false);
        QVERIFY(table[page]->Locate(field, key));
        const int before = table[page]->RecordCount();
        QTest::mouseClick(navigator[page]->Button(TDBNavigator::nbDelete), Qt::LeftButton);
        QCOMPARE(table[page]->RecordCount(), before - (deleted ? 1 : 0));
        // A refusal comes instead of the question, saying what still belongs there.
        QCOMPARE(Messages.size(), 1);
        if (deleted)
            QCOMPARE(Messages[0], QString("Удалить запись?"));
        else
            QVERIFY2(Messages[0].startsWith("Нельзя удалить") && Messages[0].contains("уроков: "),
                     qPrintable(Messages[0]));
        QVERIFY(Errors.isEmpty());
        // Deleting by other means is refused all the same.
        if (!deleted) QVERIFY_THROWS_EXCEPTION(EDatabaseError, table[page]->Delete());
        QCOMPARE(table[page]->RecordCount(), before - (deleted ? 1 : 0));
        // Every lesson still has its topic and section.
        QCOMPARE(Count("SELECT COUNT(*) FROM urok u WHERE NOT EXISTS (SELECT 1 FROM Tema t WHERE "
                       "t.kod_tema = u.kod_tema)"),
                 0);
        QCOMPARE(Count("SELECT COUNT(*) FROM Tema t WHERE NOT EXISTS (SELECT 1 FROM razdel r WHERE "
                       "r.kod_razdel = t.kod_razdel)"),
                 0);
    }

    // ---- the journal ----

    void journalFilterByTypedName() {
        Start(HashPassword("x"));
        Editor->PageControl1->setCurrentIndex(4);
        Type(Editor->Edit1, "O'Brien");
        QCOMPARE(Editor->JournalFilter(), QString("fio='O''Brien'"));
        QTest::mouseClick(Editor->CheckBox1, Qt::LeftButton);
        QVERIFY(Data->Tjurnal->Filtered());
        QCOMPARE(Column(Data->Tjurnal, "data"),
                 (QStringList{"2024-01-10", "2024-01-11", "2024-01-12"}));
        QCOMPARE(Editor->JournalGrid->model()->rowCount(), 3);
        Type(Editor->Edit2, "ЭТ-12");
        QCOMPARE(Column(Data->Tjurnal, "data"), QStringList{});
        QTest::mouseClick(Editor->CheckBox1, Qt::LeftButton);
        QCOMPARE(Data->Tjurnal->RecordCount(), 5);
        QVERIFY(Errors.isEmpty());
    }

    void deleteWithoutGradesKeepsOthersAndFilter() {
        Start(HashPassword("x"));
        Editor->PageControl1->setCurrentIndex(4);
        Type(Editor->Edit1, "O'Brien");
        QTest::mouseClick(Editor->Button20, Qt::LeftButton);
        // Only that student's visits went; the test result and everybody else's rows stay.
        QVERIFY(Data->Tjurnal->Filtered());
        QVERIFY(Editor->CheckBox1->isChecked());
        QCOMPARE(Data->Tjurnal->Filter(), QString("fio='O''Brien'"));
        QCOMPARE(Column(Data->Tjurnal, "data"), QStringList{"2024-01-11"});
        QCOMPARE(Count("SELECT COUNT(*) FROM jurnal"), 3);
        QCOMPARE(Count("SELECT COUNT(*) FROM jurnal WHERE fio = 'Brien' AND ocenka = 0"), 1);
    }

    void deleteAllAsksFirst() {
        Start(HashPassword("x"));
        Editor->PageControl1->setCurrentIndex(4);
        Answer = false;
        QTest::mouseClick(Editor->Button21, Qt::LeftButton);
        QCOMPARE(Messages.size(), 1);
        QVERIFY2(Messages[0].contains("(5)"), qPrintable(Messages[0]));
        QCOMPARE(Count("SELECT COUNT(*) FROM jurnal"), 5);

        // With a filter on, only the rows it shows go, and the question says so.
        Answer = true;
        Type(Editor->Edit1, "O'Brien");
        QTest::mouseClick(Editor->CheckBox1, Qt::LeftButton);
        QTest::mouseClick(Editor->Button21, Qt::LeftButton);
        QVERIFY2(Messages.last().contains("фильтром (3)"), qPrintable(Messages.last()));
        QCOMPARE(Count("SELECT COUNT(*) FROM jurnal"), 2);

        QTest::mouseClick(Editor->CheckBox1, Qt::LeftButton);
        QTest::mouseClick(Editor->Button21, Qt::LeftButton);
        QVERIFY2(Messages.last().contains("все записи журнала (2)"), qPrintable(Messages.last()));
        QCOMPARE(Count("SELECT COUNT(*) FROM jurnal"), 0);
    }

    // ---- groups and students ----

    void groupsAndStudents() {
        Start(HashPassword("x"));
        Editor->PageControl1->setCurrentIndex(5);
        QTest::mouseClick(Editor->GroupNavigator->Button(TDBNavigator::nbInsert), Qt::LeftButton);
        QCOMPARE(Data->tgruppa->RecordCount(), 3);
        QVERIFY(
            Editor->GroupGrid->model()->setData(Editor->GroupGrid->model()->index(2, 0), "ЭМ-21"));
        QCOMPARE(Column(Data->tgruppa, "gruppa"), (QStringList{"ЭТ-11", "ЭТ-12", "ЭМ-21"}));

        QTest::mouseClick(Editor->StudentNavigator->Button(TDBNavigator::nbInsert), Qt::LeftButton);
        QCOMPARE(Data->TFio->RecordCount(), 2);
        QCOMPARE(Data->TFio->FieldValue("kod_fio").toInt(), 2);
        QVERIFY(Editor->StudentGrid->model()->setData(Editor->StudentGrid->model()->index(1, 1),
                                                      "Петров Максим"));
        Choose(Editor->StudentGroup, "ЭМ-21");
        QCOMPARE(Data->TFio->State(), TDataSetState::dsBrowse);
        QCOMPARE(Count("SELECT COUNT(*) FROM fio WHERE fio = 'Петров Максим' AND gruppa = 'ЭМ-21' "
                       "AND kod_fio = 2"),
                 1);
        QCOMPARE(Editor->StudentGrid->model()->headerData(1, Qt::Horizontal).toString(),
                 QString("ФИО  учащихся"));
        QVERIFY(Errors.isEmpty());
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestCoursebookEditor test;
    return RunOnBothDatabases(&test, argc, argv);
}

#include "tst_coursebook_editor.moc"
