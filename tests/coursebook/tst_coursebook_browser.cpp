// The lesson browser driven as a student would: the three lists, the lesson page, the journal,
// the tool buttons and the lesson's program.
#include "CourseFixture.h"
#include "DBCtrls.h"
#include "ErrorReport.h"
#include "Media.h"
#include "Unit1.h"
#include "Unit13.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit6.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>
#include <QVideoWidget>
#include <QWebEngineView>
#include <memory>

namespace {

const char* const FileFields[] = {"htm", "jpg", "wav", "mid", "avi", "test", "exe"};

QString Lesson(int code, int section, int topic, const QString& title, const QStringList& files) {
    QStringList quoted;
    for (const QString& f : files)
        quoted << QStringLiteral("'%1'").arg(f);
    return QStringLiteral("INSERT INTO urok (kod_uroka, kod_razdel, kod_tema, kod_tip, urok, tip, "
                          "htm, jpg, wav, mid, avi, test, exe)"
                          " VALUES (%1, %2, %3, 1, 'x', '%4', %5)")
        .arg(code)
        .arg(section)
        .arg(topic)
        .arg(title, quoted.join(", "));
}

QStringList Items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

class TestCoursebookBrowser : public QObject {
    Q_OBJECT

    std::unique_ptr<TCourseFolder> Folder;
    std::unique_ptr<TForm6> Welcome;
    std::unique_ptr<TForm1> Browser;
    std::unique_ptr<TDataModule2> Data;
    std::unique_ptr<TForm3> Picture;
    std::unique_ptr<TForm13> TestWindow;
    QStringList Errors;

    // What a student's pick in a list does.
    void Choose(TDBLookupComboBox* box, const QString& text) {
        const int index = box->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        QVERIFY(box->isEnabled());
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    void OpenLesson(const QString& section, const QString& topic, const QString& lesson) {
        Choose(Browser->DBLookupComboBox1, section);
        Choose(Browser->DBLookupComboBox2, topic);
        Choose(Browser->DBLookupComboBox3, lesson);
    }

    QUrl FileUrl(const QString& name) const { return QUrl::fromLocalFile(Folder->Path(name)); }

    QToolButton* Button(const QString& field) const {
        if (field == "htm") return Browser->ToolButton3;
        if (field == "jpg") return Browser->ToolButton1;
        if (field == "wav") return Browser->ToolButton7;
        if (field == "mid") return Browser->ToolButton4;
        if (field == "avi") return Browser->ToolButton2;
        if (field == "test") return Browser->ToolButton8;
        return Browser->ToolButton9;
    }

    int JournalCount() const {
        Data->Tjurnal->Refresh();
        return Data->Tjurnal->RecordCount();
    }

private slots:
    void initTestCase() {
        SetErrorReport([this](const QString& text) { Errors << text; });
    }

    void init() {
        Errors.clear();
        Folder = std::make_unique<TCourseFolder>();
        const QStringList w(6, "w");
        QVERIFY(Folder->CreateDatabase({
            "INSERT INTO razdel VALUES (1, 'Постоянный ток'), (2, 'Переменный ток'), (3, 'Пустой "
            "раздел')",
            "INSERT INTO Tema (kod_tema, kod_razdel, tema) VALUES (1, 1, 'Закон Ома'), (2, 1, "
            "'Кирхгоф'),"
            " (3, 2, 'Резонанс'), (4, 2, 'Без уроков')",
            Lesson(1, 1, 1, "Страница есть",
                   {"pages/ohm.htm", "pics/ohm.png", "w", "w", "w", "test/otwet.txt", "w"}),
            Lesson(2, 1, 1, "Страницы нет", QStringList{"pages/missing.htm"} + w),
            Lesson(3, 1, 1, "Программа", {"w", "w", "w", "w", "w", "w", "run.sh"}),
            Lesson(4, 1, 2, "Первый закон", QStringList{"pages/k1.htm"} + w),
            Lesson(5, 1, 2, "Второй закон", QStringList{"pages/k2.htm"} + w),
            Lesson(6, 2, 3, "Все w", QStringList(7, "w")),
            Lesson(7, 2, 3, "Все пусто", QStringList(7, "")),
            Lesson(8, 2, 3, "Файлов нет",
                   {"no/a.htm", "no/b.jpg", "no/c.wav", "no/d.wav", "no/e.avi", "no/otwet.txt",
                    "no/f"}),
            Lesson(9, 2, 3, "Звук и видео",
                   {"w", "w", "media/speech.wav", "media/music.wav", "media/clip.avi", "w", "w"}),
            Lesson(10, 2, 3, "Резонанс на странице", QStringList{"pages/k2.htm"} + w),
        }));
        Folder->WriteFile(
            "zas.mht",
            "MIME-Version: 1.0\r\nContent-Type: multipart/related; type=\"text/html\"; "
            "boundary=\"b\"\r\n\r\n"
            "--b\r\nContent-Type: text/html\r\nContent-Location: http://course.test/zas.htm\r\n\r\n"
            "<title>start</title>\r\n--b--\r\n");
        for (const char* page : {"pages/ohm.htm", "pages/k1.htm", "pages/k2.htm"})
            Folder->WriteFile(
                page, "<html><head><meta "
                      "charset=\"utf-8\"><title>урок</title></head><body>урок</body></html>");
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QDir().mkpath(Folder->Path("pics"));
        QVERIFY(picture.save(Folder->Path("pics/ohm.png")));
        Folder->WriteFile("test/otwet.txt", "A\r\nB\r\n");
        for (const char* media : {"media/speech.wav", "media/music.wav", "media/clip.avi"})
            Folder->WriteFile(media, "RIFF");
        Folder->Enter();

        // The start-up order of the program: welcome window, browser, data module, picture window.
        Welcome = std::make_unique<TForm6>();
        Form6 = Welcome.get();
        Browser = std::make_unique<TForm1>();
        Form1 = Browser.get();
        Data = std::make_unique<TDataModule2>();
        DataModule2 = Data.get();
        Browser->LinkData(Data.get());
        Picture = std::make_unique<TForm3>();
        Form3 = Picture.get();
        TestWindow = std::make_unique<TForm13>();
        Browser->TestWindow = TestWindow.get();

        Welcome->Edit1->setText("Иванова Анна");
        Welcome->Edit2->setText("ЭТ-11");
        QTest::mouseClick(Welcome->Button1, Qt::LeftButton);
        QVERIFY(Browser->isVisible());
        QVERIFY(!Welcome->isVisible());
        Browser->FormActivate();
    }

    void cleanup() {
        Form3 = nullptr;
        Form1 = nullptr;
        Form6 = nullptr;
        DataModule2 = nullptr;
        TestWindow.reset();
        Picture.reset();
        Browser.reset();
        Data.reset();
        Welcome.reset();
        Folder.reset();
    }

    void sectionFiltersTopicsAndDisablesLessons_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QStringList>("topics");
        QTest::newRow("two topics") << "Постоянный ток" << QStringList{"Закон Ома", "Кирхгоф"};
        QTest::newRow("other section") << "Переменный ток" << QStringList{"Резонанс", "Без уроков"};
        QTest::newRow("no topics") << "Пустой раздел" << QStringList{};
    }

    void sectionFiltersTopicsAndDisablesLessons() {
        QFETCH(QString, section);
        QFETCH(QStringList, topics);
        // A lesson list that was usable becomes unusable until a topic of the new section is
        // chosen.
        Choose(Browser->DBLookupComboBox1, "Постоянный ток");
        Choose(Browser->DBLookupComboBox2, "Кирхгоф");
        QVERIFY(Browser->DBLookupComboBox3->isEnabled());

        Choose(Browser->DBLookupComboBox1, section);
        QCOMPARE(Items(Browser->DBLookupComboBox2), topics);
        QVERIFY(Browser->DBLookupComboBox2->isEnabled());
        QVERIFY(!Browser->DBLookupComboBox3->isEnabled());
        QCOMPARE(Browser->DBLookupComboBox1->Text(), section);
        QVERIFY(Errors.isEmpty());
    }

    void topicFiltersLessons_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QStringList>("lessons");
        QTest::newRow("three lessons")
            << "Постоянный ток"
            << "Закон Ома" << QStringList{"Страница есть", "Страницы нет", "Программа"};
        QTest::newRow("second topic") << "Постоянный ток"
                                      << "Кирхгоф" << QStringList{"Первый закон", "Второй закон"};
        QTest::newRow("no lessons") << "Переменный ток"
                                    << "Без уроков" << QStringList{};
    }

    void topicFiltersLessons() {
        QFETCH(QString, section);
        QFETCH(QString, topic);
        QFETCH(QStringList, lessons);
        Choose(Browser->DBLookupComboBox1, section);
        Choose(Browser->DBLookupComboBox2, topic);
        QVERIFY(Browser->DBLookupComboBox3->isEnabled());
        QCOMPARE(Items(Browser->DBLookupComboBox3), lessons);
    }

    void reactivationKeepsChosenTopic() {
        Choose(Browser->DBLookupComboBox1, "Постоянный ток");
        Choose(Browser->DBLookupComboBox2, "Кирхгоф");
        QApplication::sendEvent(Browser.get(), new QEvent(QEvent::WindowActivate));
        QCOMPARE(Items(Browser->DBLookupComboBox3), (QStringList{"Первый закон", "Второй закон"}));
        QVERIFY(Browser->DBLookupComboBox3->isEnabled());

        // A section without topics has no current topic: the lessons are empty, and no error box
        // opens (it would take the focus and activate the browser again when closed).
        Choose(Browser->DBLookupComboBox1, "Пустой раздел");
        Browser->FormActivate();
        QCOMPARE(Items(Browser->DBLookupComboBox3), QStringList{});
        QVERIFY(Errors.isEmpty());
    }

    void noLessonUnderAnUnshownTopic() {
        // A topic chosen, then another section: the topic list shows nothing. Coming back to the
        // window must not list the lessons of a topic nobody sees.
        OpenLesson("Постоянный ток", "Закон Ома", "Страница есть");
        Choose(Browser->DBLookupComboBox1, "Переменный ток");
        QCOMPARE(Browser->DBLookupComboBox2->Text(), QString());
        QApplication::sendEvent(Browser.get(), new QEvent(QEvent::WindowActivate));
        QCOMPARE(Browser->DBLookupComboBox2->Text(), QString());
        QVERIFY(Browser->DBLookupComboBox2->isEnabled());
        QVERIFY(!Browser->DBLookupComboBox3->isEnabled());
        QCOMPARE(Items(Browser->DBLookupComboBox3), QStringList{});

        // The journal rows written from here on all name the topic shown.
        const int before = JournalCount();
        Choose(Browser->DBLookupComboBox2, "Резонанс");
        QApplication::sendEvent(Browser.get(), new QEvent(QEvent::WindowActivate));
        QCOMPARE(Browser->DBLookupComboBox2->Text(), QString("Резонанс"));
        Choose(Browser->DBLookupComboBox3, "Резонанс на странице");
        QCOMPARE(JournalCount(), before + 1);
        Data->Tjurnal->Last();
        QCOMPARE(Data->Tjurnal->FieldText("tema"), QString("Резонанс"));
        QCOMPARE(Data->Tjurnal->FieldText("urok"), QString("Резонанс на странице"));

        // Before any pick, nothing is offered below the empty section list either.
        TForm1 fresh;
        fresh.LinkData(Data.get());
        fresh.FormActivate();
        QVERIFY(!fresh.DBLookupComboBox2->isEnabled());
        QVERIFY(!fresh.DBLookupComboBox3->isEnabled());
        QCOMPARE(Items(fresh.DBLookupComboBox3), QStringList{});
        Form1 = Browser.get();
        QVERIFY(Errors.isEmpty());
    }

    void enterOnWelcomeWindowEnters_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("key");
        QTest::newRow("name, Return") << "Edit1" << int(Qt::Key_Return);
        QTest::newRow("group, Return") << "Edit2" << int(Qt::Key_Return);
        QTest::newRow("group, keypad Enter") << "Edit2" << int(Qt::Key_Enter);
        QTest::newRow("window, Return") << "Form6" << int(Qt::Key_Return);
    }

    void enterOnWelcomeWindowEnters() {
        QFETCH(QString, where);
        QFETCH(int, key);
        Browser->hide();
        Welcome->show();
        QWidget* target = where == "Form6" ? static_cast<QWidget*>(Welcome.get())
                                           : Welcome->findChild<QLineEdit*>(where);
        QVERIFY(target);
        QTest::keyClick(target, Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QVERIFY(Browser->isVisible());
        QVERIFY(!Welcome->isVisible());
    }

    void readOnlyJournalIsSaidOnceInRussian() {
        // The database refuses every write from here on, as a write-protected file does.
        QSqlQuery(QSqlDatabase::database(Data->ConnectionName())).exec("PRAGMA query_only = ON");
        const int before = JournalCount();
        OpenLesson("Постоянный ток", "Закон Ома", "Страница есть");
        QTRY_COMPARE(Browser->WebBrowser1->url(), FileUrl("pages/ohm.htm"));
        QCOMPARE(Errors.size(), 1);
        QVERIFY2(Errors[0].contains("Журнал"), qPrintable(Errors[0]));
        QVERIFY2(Errors[0].contains("только для чтения"), qPrintable(Errors[0]));
        static const QRegularExpression latin("[A-Za-z]");
        QVERIFY2(!Errors[0].contains(latin), qPrintable(Errors[0]));

        // The next lessons open as usual and say nothing more.
        OpenLesson("Постоянный ток", "Кирхгоф", "Первый закон");
        QTRY_COMPARE(Browser->WebBrowser1->url(), FileUrl("pages/k1.htm"));
        Choose(Browser->DBLookupComboBox3, "Второй закон");
        QTRY_COMPARE(Browser->WebBrowser1->url(), FileUrl("pages/k2.htm"));
        QCOMPARE(Errors.size(), 1);
        QCOMPARE(JournalCount(), before);
        QCOMPARE(Data->Tjurnal->State(), TDataSetState::dsBrowse);
    }

    void lessonWithPageIsShownAndJournalled() {
        const int before = JournalCount();
        OpenLesson("Постоянный ток", "Закон Ома", "Страница есть");
        QTRY_COMPARE(Browser->WebBrowser1->url(), FileUrl("pages/ohm.htm"));
        Choose(Browser->DBLookupComboBox3, "Страница есть");
        QCOMPARE(JournalCount(), before + 2);

        for (int row : {before, before + 1}) {
            Data->Tjurnal->MoveTo(row);
            QCOMPARE(Data->Tjurnal->FieldText("data"), QDate::currentDate().toString(Qt::ISODate));
            QCOMPARE(Data->Tjurnal->FieldText("fio"), QString("Иванова Анна"));
            QCOMPARE(Data->Tjurnal->FieldText("gruppa"), QString("ЭТ-11"));
            QCOMPARE(Data->Tjurnal->FieldText("tema"), QString("Закон Ома"));
            QCOMPARE(Data->Tjurnal->FieldText("urok"), QString("Страница есть"));
            QCOMPARE(Data->Tjurnal->FieldValue("ocenka").toInt(), 0);
        }
        QVERIFY(Errors.isEmpty());
    }

    void lessonWithoutPageShowsStartPage_data() {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("lesson");
        QTest::newRow("missing file") << "Закон Ома"
                                      << "Страницы нет";
        QTest::newRow("w") << "Закон Ома"
                           << "Программа";
        QTest::newRow("empty field") << "Резонанс"
                                     << "Все пусто";
    }

    void lessonWithoutPageShowsStartPage() {
        QFETCH(QString, topic);
        QFETCH(QString, lesson);
        // Show some other page first, so that the start page is seen to come back.
        OpenLesson(topic == "Резонанс" ? "Постоянный ток" : "Постоянный ток", "Кирхгоф",
                   "Первый закон");
        QTRY_COMPARE(Browser->WebBrowser1->url(), FileUrl("pages/k1.htm"));
        const int before = JournalCount();

        OpenLesson(topic == "Резонанс" ? "Переменный ток" : "Постоянный ток", topic, lesson);
        QTRY_COMPARE(Browser->WebBrowser1->url(), FileUrl("zas.mht"));
        QCOMPARE(JournalCount(), before);
    }

    void wDisablesItsButton_data() {
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("w") << "Все w" << false;
        QTest::newRow("empty") << "Все пусто" << true;
        QTest::newRow("missing files") << "Файлов нет" << true;
    }

    void wDisablesItsButton() {
        QFETCH(QString, lesson);
        QFETCH(bool, enabled);
        OpenLesson("Переменный ток", "Резонанс", lesson);
        for (const char* field : FileFields)
            QVERIFY2(Button(field)->isEnabled() == enabled, field);
    }

    void buttonWithoutFileDoesNothing_data() {
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<QString>("field");
        for (const char* lesson : {"Все пусто", "Файлов нет"})
            for (const char* field : FileFields)
                QTest::addRow("%s %s", field, lesson == QString("Все пусто") ? "empty" : "missing")
                    << lesson << field;
    }

    void buttonWithoutFileDoesNothing() {
        QFETCH(QString, lesson);
        QFETCH(QString, field);
        OpenLesson("Переменный ток", "Резонанс", lesson);
        QTRY_COMPARE(Browser->WebBrowser1->url(), FileUrl("zas.mht"));
        const int before = JournalCount();

        QToolButton* button = Button(field);
        QTest::mouseClick(button, Qt::LeftButton);
        if (button->isCheckable()) QTest::mouseClick(button, Qt::LeftButton);

        QCOMPARE(Browser->WebBrowser1->url(), FileUrl("zas.mht"));
        QVERIFY(!Picture->isVisible());
        QVERIFY(!TestWindow->isVisible());
        QVERIFY(!Browser->VideoWindow->isVisible());
        QVERIFY(!Browser->MediaPlayer1->IsOpen());
        QVERIFY(!Browser->MediaPlayer2->IsOpen());
        QCOMPARE(JournalCount(), before);
        QVERIFY2(Errors.isEmpty(), qPrintable(Errors.join('\n')));
    }

    void buttonsShowLessonFiles() {
        OpenLesson("Постоянный ток", "Закон Ома", "Страница есть");
        QTRY_COMPARE(Browser->WebBrowser1->url(), FileUrl("pages/ohm.htm"));
        Browser->N2Click();
        QTRY_COMPARE(Browser->WebBrowser1->url(), FileUrl("help.mht"));

        QTest::mouseClick(Browser->ToolButton3, Qt::LeftButton);
        QTRY_COMPARE(Browser->WebBrowser1->url(), FileUrl("pages/ohm.htm"));
        QTest::mouseClick(Browser->ToolButton1, Qt::LeftButton);
        QVERIFY(Picture->isVisible());
        QCOMPARE(Picture->Image1->Picture().size(), QSize(40, 20));
        QTest::mouseClick(Browser->ToolButton8, Qt::LeftButton);
        QVERIFY(TestWindow->isVisible());
        QVERIFY(Errors.isEmpty());
    }

    void playersTakeTheirFiles() {
        OpenLesson("Переменный ток", "Резонанс", "Звук и видео");
        const QUrl speech = FileUrl("media/speech.wav"), music = FileUrl("media/music.wav"),
                   clip = FileUrl("media/clip.avi");

        QTest::mouseClick(Browser->ToolButton4, Qt::LeftButton); // music on
        QCOMPARE(Browser->MediaPlayer2->Player()->source(), music);
        QTest::mouseClick(Browser->ToolButton7, Qt::LeftButton); // commentary on
        QCOMPARE(Browser->MediaPlayer1->Player()->source(), speech);
        QTest::mouseClick(Browser->ToolButton4, Qt::LeftButton); // music off again
        QVERIFY(!Browser->ToolButton4->isChecked());
        QVERIFY(!Browser->MediaPlayer2->IsPlaying());

        // The video takes over the commentary's player.
        QTest::mouseClick(Browser->ToolButton2, Qt::LeftButton);
        QCOMPARE(Browser->MediaPlayer1->Player()->source(), clip);
        QVERIFY(Browser->VideoWindow->isVisible());

        QTest::mouseClick(Browser->Button2, Qt::LeftButton); // "Выключить звук "
        QVERIFY(!Browser->MediaPlayer1->IsOpen());
        QVERIFY(!Browser->MediaPlayer2->IsOpen());
        QVERIFY(!Browser->VideoWindow->isVisible());
    }

    void programStartsWithoutWaiting() {
        // The program notes that it started, then keeps running until the test releases it.
        Folder->WriteFile(
            "run.sh",
            "#!/bin/sh\n"
            "echo started > started.txt\n"
            "i=0\n"
            "while [ ! -e release.txt ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done\n"
            "echo finished > finished.txt\n");
        QFile::setPermissions(Folder->Path("run.sh"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        OpenLesson("Постоянный ток", "Закон Ома", "Программа");
        QVERIFY(Browser->ToolButton9->isEnabled());

        QTest::mouseClick(Browser->ToolButton9, Qt::LeftButton);
        // Back from the click while the program cannot have finished: nobody waited for it.
        QVERIFY(!QFile::exists(Folder->Path("finished.txt")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Folder->Path("started.txt")), 20000);
        Folder->WriteFile("release.txt", "");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Folder->Path("finished.txt")), 20000);
        QVERIFY(Errors.isEmpty());
    }

    void closingBrowserClosesWelcomeWindow() {
        bool closed = false;
        connect(Welcome.get(), &TForm6::Closed, this, [&] { closed = true; });
        Browser->N3Click();
        QVERIFY(closed);
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestCoursebookBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_coursebook_browser.moc"
