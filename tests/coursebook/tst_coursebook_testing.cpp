// A lesson's test as a student takes it: the test window opened from the browser, questions
// drawn from the lesson's folder, answers, the result window and its journal entry.
#include "CourseFixture.h"
#include "DBCtrls.h"
#include "Dialogs.h"
#include "ErrorReport.h"
#include "Unit1.h"
#include "Unit13.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit5.h"
#include "Unit6.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>
#include <memory>

namespace {

QString Lesson(int code, int topic, const QString& title, const QString& page,
               const QString& test) {
    return QStringLiteral("INSERT INTO urok (kod_uroka, kod_razdel, kod_tema, kod_tip, urok, tip, "
                          "htm, jpg, wav, mid, avi, test, exe)"
                          " VALUES (%1, 1, %2, 1, 'x', '%3', '%4', 'w', 'w', 'w', 'w', '%5', 'w')")
        .arg(code)
        .arg(topic)
        .arg(title, page, test);
}

QByteArray Key(int lines) {
    QByteArray key;
    for (int i = 0; i < lines; ++i)
        key += QByteArray(1, char('A' + i % 5)) + "\r\n";
    return key;
}

bool IsRed(const QWidget* w) {
    return w->palette().color(QPalette::ButtonText) == QColor(Qt::red);
}

} // namespace

class TestCoursebookTesting : public QObject {
    Q_OBJECT

    std::unique_ptr<TCourseFolder> Folder;
    std::unique_ptr<TForm6> Welcome;
    std::unique_ptr<TForm1> Browser;
    std::unique_ptr<TForm13> Test;
    std::unique_ptr<TDataModule2> Data;
    std::unique_ptr<TForm3> Picture;
    std::unique_ptr<TForm5> Result;
    QStringList Errors;
    QStringList Messages;

    void Choose(TDBLookupComboBox* box, const QString& text) {
        const int index = box->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    // Opens the lesson and its test window with the tool button, as the student does.
    void OpenTest(const QString& topic, const QString& lesson) {
        Choose(Browser->DBLookupComboBox1, "Контроль");
        Choose(Browser->DBLookupComboBox2, topic);
        Choose(Browser->DBLookupComboBox3, lesson);
        QVERIFY(Browser->ToolButton8->isEnabled());
        QTest::mouseClick(Browser->ToolButton8, Qt::LeftButton);
        QVERIFY(Test->isVisible());
    }

    void Start() {
        QVERIFY(Test->BitBtn41->isEnabled());
        QTest::mouseClick(Test->BitBtn41, Qt::LeftButton);
        QVERIFY(Test->Running());
    }

    void Answer(int slot, int code) {
        QPushButton* question = Test->QuestionButtons[slot - 1];
        QVERIFY(question->isVisibleTo(Test.get()));
        QTest::mouseClick(question, Qt::LeftButton);
        QTest::mouseClick(Test->AnswerButtons[code - 1], Qt::LeftButton);
    }

    static int WrongCode(int right) { return right % 5 + 1; }

    int JournalCount() {
        Data->Tjurnal->Refresh();
        return Data->Tjurnal->RecordCount();
    }

    // The journal rows from row `from` on, as "topic/lesson/grade".
    QStringList RowsFrom(int from) {
        Data->Tjurnal->Refresh();
        QStringList out;
        for (int i = from; i < Data->Tjurnal->RecordCount(); ++i)
            out << QStringLiteral("%1/%2/%3")
                       .arg(Data->Tjurnal->Value(i, "tema").toString(),
                            Data->Tjurnal->Value(i, "urok").toString(),
                            Data->Tjurnal->Value(i, "ocenka").toString());
        return out;
    }

private slots:
    void initTestCase() {
        SetErrorReport([this](const QString& text) { Errors << text; });
        SetMessageHandler([this](const TMessageRequest& r) {
            Messages << r.Text;
            return true;
        });
    }

    void init() {
        Errors.clear();
        Messages.clear();
        Folder = std::make_unique<TCourseFolder>();
        QVERIFY(Folder->CreateDatabase({
            "INSERT INTO razdel VALUES (1, 'Контроль')",
            "INSERT INTO Tema (kod_tema, kod_razdel, tema) VALUES (1, 1, 'Итоговый тест'), (2, 1, "
            "'Разные ключи')",
            Lesson(1, 1, "Итоговый тест по курсу", "pages/intro.htm", "quiz/otwet.txt"),
            Lesson(2, 1, "Чтение перед тестом", "pages/intro.htm", "w"),
            Lesson(3, 2, "Короткий тест", "pages/intro.htm", "short/1.htm"),
            Lesson(4, 2, "Длинный тест", "pages/intro.htm", "long/otwet.txt"),
            Lesson(5, 2, "Пустой ключ", "pages/intro.htm", "empty/otwet.txt"),
            Lesson(6, 2, "Строка без буквы", "pages/intro.htm", "bad/otwet.txt"),
            Lesson(7, 2, "Ключа нет", "pages/intro.htm", "nokey/1.htm"),
        }));
        Folder->WriteFile("zas.mht", "<title>start</title>");
        Folder->WriteFile("pages/intro.htm",
                          "<html><head><meta "
                          "charset=\"utf-8\"><title>урок</title></head><body>урок</body></html>");
        for (int n = 1; n <= 45; ++n) {
            const QByteArray page =
                QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Вопрос %1</title></head>"
                               "<body>Вопрос %1</body></html>")
                    .arg(n)
                    .toUtf8();
            for (const char* dir : {"quiz", "long"})
                Folder->WriteFile(QStringLiteral("%1/%2.htm").arg(dir).arg(n), page);
            if (n <= 3) Folder->WriteFile(QStringLiteral("short/%1.htm").arg(n), page);
        }
        Folder->WriteFile("quiz/otwet.txt", Key(40));
        Folder->WriteFile("short/otwet.txt", "B\r\nD\r\nE\r\n");
        Folder->WriteFile("long/otwet.txt", Key(45));
        Folder->WriteFile("empty/otwet.txt", "");
        Folder->WriteFile("bad/otwet.txt", "A\r\nB\r\n-\r\nC\r\n");
        Folder->WriteFile("nokey/1.htm", "<title>1</title>");
        Folder->Enter();

        // The program's start-up order, with the test and result windows.
        Welcome = std::make_unique<TForm6>();
        Form6 = Welcome.get();
        Browser = std::make_unique<TForm1>();
        Form1 = Browser.get();
        Test = std::make_unique<TForm13>();
        Form13 = Test.get();
        Browser->TestWindow = Test.get();
        Data = std::make_unique<TDataModule2>();
        DataModule2 = Data.get();
        Browser->LinkData(Data.get());
        Picture = std::make_unique<TForm3>();
        Form3 = Picture.get();
        Result = std::make_unique<TForm5>();
        Form5 = Result.get();
        connect(Test.get(), &TForm13::Finished, Result.get(), &TForm5::ShowResult);

        Welcome->Edit1->setText("Петров Максим");
        Welcome->Edit2->setText("ЭТ-12");
        QTest::mouseClick(Welcome->Button1, Qt::LeftButton);
        Browser->FormActivate();
    }

    void cleanup() {
        Form5 = nullptr;
        Form3 = nullptr;
        Form13 = nullptr;
        Form1 = nullptr;
        Form6 = nullptr;
        DataModule2 = nullptr;
        Result.reset();
        Picture.reset();
        Test.reset();
        Browser.reset();
        Data.reset();
        Welcome.reset();
        Folder.reset();
    }

    void wholeTestGradedAndJournalledOnce() {
        OpenTest("Итоговый тест", "Итоговый тест по курсу");
        const int before = JournalCount();
        QVERIFY(!Test->QuestionRow->isVisible());
        QVERIFY(!Test->BitBtn42->isEnabled());
        Start();
        QVERIFY(Test->QuestionRow->isVisible());
        QVERIFY(!Test->BitBtn41->isEnabled());
        QCOMPARE(Test->SlotCount(), 40);
        // The sample folder asks for nothing, so pages are drawn independently.
        const QList<TForm13::TSlot> drawn = Test->QuestionSlots();

        // 30 right, 10 wrong; the first answer is changed from wrong to right on a second visit.
        Answer(1, WrongCode(drawn[0].Right));
        QVERIFY(IsRed(Test->AnswerButtons[WrongCode(drawn[0].Right) - 1]));
        for (int s = 2; s <= 40; ++s)
            Answer(s, s <= 30 ? drawn[s - 1].Right : WrongCode(drawn[s - 1].Right));
        Answer(1, drawn[0].Right);
        QCOMPARE(Test->QuestionSlots()[0].Chosen, drawn[0].Right);
        QVERIFY(IsRed(Test->AnswerButtons[drawn[0].Right - 1]));
        QVERIFY(!IsRed(Test->AnswerButtons[WrongCode(drawn[0].Right) - 1]));
        QTRY_COMPARE(Test->WebBrowser1->url(),
                     QUrl::fromLocalFile(
                         Folder->Path(QStringLiteral("quiz/%1.htm").arg(drawn[0].Question))));
        for (int s = 1; s <= 40; ++s)
            QVERIFY(IsRed(Test->QuestionButtons[s - 1]));

        QTest::mouseClick(Test->BitBtn42, Qt::LeftButton);
        QVERIFY(!Test->Running());
        QVERIFY(Result->isVisible());
        QCOMPARE(Result->Label4->text(), QString("30"));
        QCOMPARE(Result->Label5->text(), QString("75"));
        QCOMPARE(Result->Label6->text(), QString("4"));
        // The question row stays for a look back; starting again is possible.
        QVERIFY(Test->QuestionRow->isVisible());
        QVERIFY(Test->BitBtn41->isEnabled());

        // A second finish of the same test counts nothing and writes nothing.
        Test->BitBtn42Click();
        QTest::mouseClick(Result->Button1, Qt::LeftButton);
        QVERIFY(!Result->isVisible());
        QVERIFY(!Test->isVisible());
        Test->BitBtn42Click();
        QVERIFY(!Result->isVisible());
        QCOMPARE(RowsFrom(before), QStringList{"Итоговый тест/Итоговый тест по курсу/75"});
        Data->Tjurnal->Last();
        QCOMPARE(Data->Tjurnal->FieldText("fio"), QString("Петров Максим"));
        QCOMPARE(Data->Tjurnal->FieldText("gruppa"), QString("ЭТ-12"));
        QCOMPARE(Data->Tjurnal->FieldText("data"), QDate::currentDate().toString(Qt::ISODate));
        QVERIFY2(Errors.isEmpty() && Messages.isEmpty(),
                 qPrintable((Errors + Messages).join('\n')));
    }

    void finishWithoutStartCountsNothing() {
        OpenTest("Итоговый тест", "Итоговый тест по курсу");
        const int before = JournalCount();
        QTest::mouseClick(Test->BitBtn42, Qt::LeftButton);
        Test->BitBtn42Click();
        QVERIFY(!Result->isVisible());
        QCOMPARE(Test->RightCount(), 0);
        // Letters pressed before any test runs are not kept anywhere.
        QTest::mouseClick(Test->AnswerButtons[2], Qt::LeftButton);
        QVERIFY(!IsRed(Test->AnswerButtons[2]));
        Result->close();
        QCOMPARE(RowsFrom(before), QStringList{});
    }

    void secondTestStartsClean() {
        OpenTest("Итоговый тест", "Итоговый тест по курсу");
        Start();
        for (int s = 1; s <= 40; ++s)
            Answer(s, Test->QuestionSlots()[s - 1].Right);
        Answer(7, WrongCode(Test->QuestionSlots()[6].Right));
        QTest::mouseClick(Test->BitBtn42, Qt::LeftButton);
        QVERIFY(Result->isVisible());
        QTest::mouseClick(Result->Button1, Qt::LeftButton);

        OpenTest("Итоговый тест", "Итоговый тест по курсу");
        const int before = JournalCount();
        Start();
        QCOMPARE(Test->RightCount(), 0);
        QCOMPARE(Test->WrongCount(), 0);
        QCOMPARE(Test->CurrentSlot(), 1); // the first question is shown at once
        for (int s = 1; s <= 40; ++s) {
            QCOMPARE(Test->QuestionSlots()[s - 1].Chosen, 0);
            QCOMPARE(Test->Visited(s), s == 1);
            QCOMPARE(IsRed(Test->QuestionButtons[s - 1]), s == 1);
        }
        for (QPushButton* b : Test->AnswerButtons)
            QVERIFY(!IsRed(b));
        QTest::mouseClick(Test->BitBtn42, Qt::LeftButton);
        QCOMPARE(Result->Label4->text(), QString("0"));
        QCOMPARE(Result->Label6->text(), QString("0"));
        Result->close();
        QCOMPARE(RowsFrom(before), QStringList{"Итоговый тест/Итоговый тест по курсу/0"});
        Data->Tjurnal->MoveTo(before - 2);
        QCOMPARE(Data->Tjurnal->FieldValue("ocenka").toInt(), 98); // 39 of 40
    }

    void keysOfOtherLengths_data() {
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<int>("pages");
        QTest::newRow("three questions") << "Короткий тест" << 3 << 3;
        QTest::newRow("forty-five questions") << "Длинный тест" << 40 << 45;
    }

    void keysOfOtherLengths() {
        QFETCH(QString, lesson);
        QFETCH(int, slotCount);
        QFETCH(int, pages);
        OpenTest("Разные ключи", lesson);
        const int before = JournalCount();
        Start();
        QCOMPARE(Test->SlotCount(), slotCount);
        for (int n = 1; n <= 40; ++n)
            QCOMPARE(Test->QuestionButtons[n - 1]->isVisibleTo(Test.get()), n <= slotCount);
        for (const TForm13::TSlot& s : Test->QuestionSlots())
            QVERIFY(s.Question >= 1 && s.Question <= pages);
        // Every slot answered right: the whole of a short test, not a part of forty.
        for (int s = 1; s <= slotCount; ++s)
            Answer(s, Test->QuestionSlots()[s - 1].Right);
        QTest::mouseClick(Test->BitBtn42, Qt::LeftButton);
        QCOMPARE(Result->Label4->text(), QString::number(slotCount));
        QCOMPARE(Result->Label5->text(), QString("100"));
        QCOMPARE(Result->Label6->text(), QString("5"));
        QTest::mouseClick(Result->Button1, Qt::LeftButton);
        QCOMPARE(RowsFrom(before), QStringList{"Разные ключи/" + lesson + "/100"});
    }

    void unusableKeyRefusesToStart_data() {
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<QString>("said");
        QTest::newRow("empty key") << "Пустой ключ"
                                   << "пуст";
        QTest::newRow("line without a letter") << "Строка без буквы"
                                               << "строке 3";
        QTest::newRow("no key file") << "Ключа нет"
                                     << "не найден";
    }

    void unusableKeyRefusesToStart() {
        QFETCH(QString, lesson);
        QFETCH(QString, said);
        OpenTest("Разные ключи", lesson);
        QTest::mouseClick(Test->BitBtn41, Qt::LeftButton);
        QCOMPARE(Messages.size(), 1);
        QVERIFY2(Messages[0].contains(said), qPrintable(Messages[0]));
        QVERIFY(!Test->Running());
        QVERIFY(!Test->QuestionRow->isVisible());
        QVERIFY(Test->BitBtn41->isEnabled());
        QVERIFY(!Test->BitBtn42->isEnabled());
    }

    void resultClosedAnyWayJournalsItsOwnLesson() {
        OpenTest("Итоговый тест", "Итоговый тест по курсу");
        const int before = JournalCount();
        Start();
        for (int s = 1; s <= 36; ++s)
            Answer(s, Test->QuestionSlots()[s - 1].Right);
        // Meanwhile the student reads another lesson in the browser (a visit row of its own).
        Choose(Browser->DBLookupComboBox3, "Чтение перед тестом");
        QTest::mouseClick(Test->BitBtn42, Qt::LeftButton);
        QCOMPARE(Result->Label5->text(), QString("90"));
        QCOMPARE(Result->Label6->text(), QString("4"));

        // Closed with the window's close button rather than "Ок": the entry is still written, once.
        Result->close();
        QVERIFY(!Result->isVisible());
        Result->close();
        QCOMPARE(RowsFrom(before), (QStringList{"Итоговый тест/Чтение перед тестом/0",
                                                "Итоговый тест/Итоговый тест по курсу/90"}));
        QVERIFY(Test->isVisible());

        // And by Escape, after a second test.
        Start();
        QTest::mouseClick(Test->BitBtn42, Qt::LeftButton);
        QTest::keyClick(Result.get(), Qt::Key_Escape);
        QVERIFY(!Result->isVisible());
        QCOMPARE(RowsFrom(before).size(), 3);
    }

    void sampleFolderDrawsEveryPageOnce() {
        Folder->WriteFile("quiz/test.ini", "[Test]\nDraw=WithoutRepeats\n");
        OpenTest("Итоговый тест", "Итоговый тест по курсу");
        for (int run = 0; run < 3; ++run) {
            Start();
            QSet<int> pages;
            for (const TForm13::TSlot& s : Test->QuestionSlots())
                pages.insert(s.Question);
            QCOMPARE(pages.size(), 40);
            QTest::mouseClick(Test->BitBtn42, Qt::LeftButton);
            Result->close();
        }
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestCoursebookTesting test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_coursebook_testing.moc"
