// The sample course as the build leaves it in the program folder: every file the lessons name is
// there and usable, the test folder is complete, and the web archives open in the HTML view.
#include "LessonProgram.h"
#include "TestKey.h"
#include "Unit1.h"
#include "Unit2.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>
#include <memory>

class TestCoursebookCourse : public QObject {
    Q_OBJECT

    QString Previous;
    std::unique_ptr<TDataModule2> Data;

    static QString Bin(const QString& name) { return QStringLiteral(VEXILO_BIN_DIR "/") + name; }

private slots:
    void initTestCase() {
        Previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QStringLiteral(VEXILO_BIN_DIR)));
        Data = std::make_unique<TDataModule2>();
    }

    void cleanupTestCase() {
        Data.reset();
        QDir::setCurrent(Previous);
    }

    void lessonsBelongToTheirTopicsSection() {
        TTable* lessons = Data->Turok;
        QVERIFY(Data->Trazdel->RecordCount() >= 3);
        QVERIFY(Data->TTema->RecordCount() >= 6);
        QVERIFY(lessons->RecordCount() >= 12);
        QSet<QString> programs;
        int archives = 0;
        for (int i = 0; i < lessons->RecordCount(); ++i) {
            const QString title = lessons->Value(i, "tip").toString();
            QVERIFY2(Data->TTema->Locate("kod_tema", lessons->Value(i, "kod_tema")),
                     qPrintable(title));
            // A lesson filed under a topic of another section could never be reached in the lists.
            QCOMPARE(Data->TTema->FieldValue("kod_razdel"), lessons->Value(i, "kod_razdel"));
            QVERIFY2(title.size() <= 50, qPrintable(title)); // the journal keeps 50 characters
            programs << lessons->Value(i, "exe").toString();
            archives += lessons->Value(i, "htm").toString().endsWith(".mht");
        }
        QVERIFY(programs.contains("workbench"));
        QVERIFY(programs.contains("filterdemo"));
        QVERIFY(archives >= 2);
    }

    void labLessonsOpenTheFiveLabs() {
        // Every ready-made lab of the workbench has a lab lesson that opens it, and every lesson
        // that names a scheme names one that is there.
        TTable* lessons = Data->Turok;
        QStringList labs;
        for (int i = 0; i < lessons->RecordCount(); ++i) {
            const QString title = lessons->Value(i, "tip").toString();
            const TLessonProgram lesson =
                ResolveLessonProgram(lessons->Value(i, "exe").toString(), {Bin(QString())});
            if (lesson.Scheme.isEmpty()) continue;
            QVERIFY2(lesson.IsWorkbench(), qPrintable(title));
            QVERIFY2(QFileInfo(Bin("Labs/" + lesson.Scheme + ".workbench")).isFile(),
                     qPrintable(title));
            QCOMPARE(lessons->Value(i, "kod_tip").toInt(), 2); // a practical lesson
            labs << lesson.Scheme;
        }
        labs.sort();
        QCOMPARE(labs, (QStringList{"lab1", "lab2", "lab3", "lab4", "lab5"}));
    }

    void lessonFilesAreThere() {
        TTable* lessons = Data->Turok;
        for (int i = 0; i < lessons->RecordCount(); ++i) {
            const QString title = lessons->Value(i, "tip").toString();
            for (const char* field : {"htm", "jpg", "wav", "mid", "avi", "test"}) {
                const QString value = lessons->Value(i, field).toString();
                if (value == "w") continue;
                const QString where = title + " " + field + " " + value;
                QVERIFY2(QFileInfo(Bin(value)).isFile() && QFileInfo(Bin(value)).size() > 0,
                         qPrintable(where));
                if (QString(field) == "jpg")
                    QVERIFY2(!QImageReader(Bin(value)).read().isNull(), qPrintable(where));
                if (QString(field) == "wav" || QString(field) == "mid") {
                    QFile f(Bin(value));
                    QVERIFY(f.open(QIODevice::ReadOnly));
                    const QByteArray head = f.read(12);
                    QVERIFY2(head.startsWith("RIFF") && head.mid(8, 4) == "WAVE",
                             qPrintable(where));
                    QVERIFY2(f.size() > 22050,
                             qPrintable(where)); // at least half a second of sound
                }
            }
        }
    }

    void testFolderHasFortyQuestions() {
        QVERIFY(Data->Turok->Locate("test", "test/otwet.txt"));
        const QString dir = QFileInfo(Bin(Data->Turok->FieldText("test"))).absolutePath();
        for (int n = 1; n <= 40; ++n)
            QVERIFY2(QFileInfo(QStringLiteral("%1/%2.htm").arg(dir).arg(n)).isFile(),
                     qPrintable(QString::number(n)));
        QFile key(dir + "/otwet.txt");
        QVERIFY(key.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines =
            QString::fromLatin1(key.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 40);
        static const QRegularExpression oneLetter(QStringLiteral("^[A-E]$"));
        for (const QString& line : lines)
            QVERIFY2(oneLetter.match(line.trimmed()).hasMatch(), qPrintable(line));
        // The final test gives each of its forty questions once.
        const TTestKey read = ReadTestKey(dir);
        QCOMPARE(read.Codes.size(), 40);
        QVERIFY(read.WithoutRepeats);
    }

    void archivesOpenInHtmlView_data() {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("source");
        QTest::newRow("start page") << "zas.mht"
                                    << "zas.html";
        QTest::newRow("about page") << "help.mht"
                                    << "help.html";
        QTest::newRow("lesson") << "uroki/tok.mht"
                                << "tok.html";
        QTest::newRow("lesson with drawing") << "uroki/rez.mht"
                                             << "rez.html";
    }

    void archivesOpenInHtmlView() {
        QFETCH(QString, archive);
        QFETCH(QString, source);
        QFile page(QStringLiteral(VEXILO_SOURCE_DIR "/coursebook/course/pages/") + source);
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString title =
            QString::fromUtf8(page.readAll()).section("<title>", 1).section("</title>", 0, 0);
        QVERIFY(!title.isEmpty());

        TForm1 browser;
        QSignalSpy loaded(browser.WebBrowser1, &QWebEngineView::loadFinished);
        browser.Navigate(Bin(archive));
        // The title exists only inside the archive's page part: it shows that the archive was read.
        QTRY_COMPARE_WITH_TIMEOUT(browser.WebBrowser1->title(), title, 30000);
        QTRY_VERIFY(!loaded.isEmpty());
        QCOMPARE(loaded.last().at(0).toBool(), true);
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestCoursebookCourse test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_coursebook_course.moc"
