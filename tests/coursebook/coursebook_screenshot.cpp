// Draws the coursebook as a student sees it into PNG files: the welcome window, the browser with
// the start page, and the browser with a lesson of the sample course open. It works on a copy of
// the program folder's course, so the journal entry of the visit does not stay in the shipped
// database.
//   coursebook_screenshot OUTDIR
#include "DBCtrls.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit6.h"

#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

namespace {

void CopyCourse(const QString& from, const QString& to) {
    for (const char* file : {"db1.sqlite", "zas.mht", "help.mht"})
        QFile::copy(from + "/" + file, to + "/" + file);
    for (const char* dir : {"uroki", "kartinki", "zvuk", "muzyka", "video", "test"}) {
        QDirIterator it(from + "/" + dir, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString target = to + path.mid(from.size());
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::copy(path, target);
        }
    }
}

bool Choose(TDBLookupComboBox* box, const QString& text) {
    const int index = box->findText(text);
    if (index < 0) return false;
    box->setCurrentIndex(index);
    emit box->activated(index);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: coursebook_screenshot OUTDIR\n");
        return 2;
    }
    const QString out = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    QTemporaryDir work;
    CopyCourse(QStringLiteral(VEXILO_BIN_DIR), work.path());
    QDir::setCurrent(work.path());

    TForm6 welcome;
    Form6 = &welcome;
    TForm1 browser;
    Form1 = &browser;
    TDataModule2 data;
    DataModule2 = &data;
    browser.LinkData(&data);
    TForm3 picture;
    Form3 = &picture;

    welcome.show();
    welcome.Edit1->setText(QStringLiteral("Иванова Анна Сергеевна"));
    welcome.Edit2->setText(QStringLiteral("ЭТ-11"));
    QTest::qWait(300);
    welcome.grab().save(out + "/coursebook-welcome.png");

    QTest::mouseClick(welcome.Button1, Qt::LeftButton);
    browser.showNormal();
    browser.resize(1280, 800);
    browser.FormActivate();
    QSignalSpy loaded(browser.WebBrowser1, &QWebEngineView::loadFinished);
    browser.Navigate(browser.StartPage());
    if (!loaded.wait(30000)) {
        fprintf(stderr, "coursebook_screenshot: the start page did not load\n");
        return 1;
    }
    QTest::qWait(1500);
    browser.grab().save(out + "/coursebook-start.png");

    if (!Choose(browser.DBLookupComboBox1, QStringLiteral("Цепи постоянного тока")) ||
        !Choose(browser.DBLookupComboBox2, QStringLiteral("Закон Ома")) ||
        !Choose(browser.DBLookupComboBox3, QStringLiteral("Закон Ома для участка цепи"))) {
        fprintf(stderr, "coursebook_screenshot: the sample course has no such lesson\n");
        return 1;
    }
    if (!loaded.wait(30000)) {
        fprintf(stderr, "coursebook_screenshot: the lesson page did not load\n");
        return 1;
    }
    QTest::qWait(1500); // let the page view paint its first frame
    browser.grab().save(out + "/coursebook-lesson.png");

    Form3 = nullptr;
    DataModule2 = nullptr;
    Form1 = nullptr;
    Form6 = nullptr;
    return 0;
}
