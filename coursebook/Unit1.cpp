#include "Unit1.h"
#include "DBCtrls.h"
#include "DataErrors.h"
#include "Dialogs.h"
#include "ErrorReport.h"
#include "LessonProgram.h"
#include "Media.h"
#include "Unit13.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit6.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVideoWidget>
#include <QWebEngineView>
#include <stdexcept>

TForm1* Form1 = nullptr;

namespace {

// The value that marks a lesson as having no such item.
const QString NoItem = QStringLiteral("w");

// The seven tool pictures, drawn rather than shipped so that they stay sharp at any scale.
QIcon ToolIcon(int which) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    switch (which) {
    case 1: // picture: a framed landscape
        p.setBrush(QColor(0xcf, 0xe8, 0xff));
        p.drawRect(3, 5, 26, 22);
        p.setBrush(QColor(0x3c, 0x9a, 0x3c));
        p.drawPolygon(QPolygon(
            {QPoint(4, 26), QPoint(13, 14), QPoint(19, 21), QPoint(23, 17), QPoint(28, 26)}));
        p.setBrush(QColor(0xff, 0xc8, 0x20));
        p.drawEllipse(QPoint(22, 11), 3, 3);
        break;
    case 2: // video: a film frame with a play mark
        p.setBrush(QColor(0x40, 0x40, 0x48));
        p.drawRoundedRect(3, 6, 26, 20, 3, 3);
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygon({QPoint(13, 11), QPoint(22, 16), QPoint(13, 21)}));
        break;
    case 3: // page: a sheet of text
        p.setBrush(Qt::white);
        p.drawRect(7, 3, 18, 26);
        p.setPen(QPen(QColor(0x20, 0x60, 0xc0), 2));
        for (int y = 9; y <= 23; y += 5)
            p.drawLine(10, y, 22, y);
        break;
    case 4: { // music: a pair of notes
        p.setBrush(QColor(0x80, 0x30, 0xa0));
        p.setPen(QPen(QColor(0x80, 0x30, 0xa0), 2));
        p.drawEllipse(QPoint(9, 24), 4, 3);
        p.drawEllipse(QPoint(23, 21), 4, 3);
        p.drawLine(13, 24, 13, 7);
        p.drawLine(27, 21, 27, 4);
        p.drawLine(13, 7, 27, 4);
        break;
    }
    case 7: { // commentary: a loudspeaker with waves
        p.setBrush(QColor(0x20, 0x80, 0x40));
        p.drawPolygon(QPolygon({QPoint(4, 12), QPoint(10, 12), QPoint(17, 5), QPoint(17, 27),
                                QPoint(10, 20), QPoint(4, 20)}));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRect(15, 10, 8, 12), -60 * 16, 120 * 16);
        p.drawArc(QRect(14, 6, 14, 20), -60 * 16, 120 * 16);
        break;
    }
    case 8: // test: a sheet with check marks
        p.setBrush(QColor(0xff, 0xf6, 0xd0));
        p.drawRect(6, 3, 20, 26);
        p.setPen(QPen(QColor(0xc0, 0x20, 0x20), 2.5));
        p.drawPolyline(QPolygon({QPoint(10, 12), QPoint(13, 15), QPoint(20, 8)}));
        p.drawPolyline(QPolygon({QPoint(10, 22), QPoint(13, 25), QPoint(20, 18)}));
        break;
    case 9: // program: a window with a start arrow
        p.setBrush(QColor(0xe8, 0xf0, 0xff));
        p.drawRect(3, 5, 26, 22);
        p.setBrush(QColor(0x20, 0x50, 0xa0));
        p.drawRect(3, 5, 26, 5);
        p.setBrush(QColor(0xe0, 0x70, 0x10));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygon({QPoint(11, 14), QPoint(22, 19), QPoint(11, 24)}));
        break;
    }
    return QIcon(pm);
}

QToolButton* MakeToolButton(QToolBar* bar, const char* name, int picture, const QString& hint,
                            bool toggle) {
    auto* b = new QToolButton(bar);
    b->setObjectName(QLatin1String(name));
    b->setIcon(ToolIcon(picture));
    b->setToolTip(hint);
    b->setCheckable(toggle);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

QLabel* ToolLabel(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    return l;
}

// A filter operand for the code of the current row; without a current row the filter must match
// nothing rather than be malformed.
QString CodeLiteral(const QVariant& code) {
    if (code.isNull() || code.toString().isEmpty()) return QStringLiteral("NULL");
    bool ok = false;
    const qlonglong n = code.toLongLong(&ok);
    return ok ? QString::number(n) : QStringLiteral("NULL");
}

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Обучающая система"));
    resize(1024, 720);

    auto* menu = menuBar();
    N1 = menu->addAction(QStringLiteral("Редактирование"));
    N2 = menu->addAction(QStringLiteral("О программе"));
    N3 = menu->addAction(QStringLiteral("Выход"));
    connect(N1, &QAction::triggered, this, [this] { Guarded([&] { N1Click(); }); });
    connect(N2, &QAction::triggered, this, [this] { Guarded([&] { N2Click(); }); });
    connect(N3, &QAction::triggered, this, [this] { Guarded([&] { N3Click(); }); });

    auto* bar1 = addToolBar(QStringLiteral("Раздел"));
    bar1->setObjectName(QStringLiteral("ToolBar1"));
    bar1->setMovable(false);
    bar1->addWidget(ToolLabel(QStringLiteral("Раздел   "), bar1));
    DBLookupComboBox1 = new TDBLookupComboBox(bar1);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setToolTip(QStringLiteral("Выберите раздел"));
    bar1->addWidget(DBLookupComboBox1);
    bar1->addWidget(ToolLabel(QStringLiteral("    Тема  "), bar1));
    DBLookupComboBox2 = new TDBLookupComboBox(bar1);
    DBLookupComboBox2->setObjectName(QStringLiteral("DBLookupComboBox2"));
    DBLookupComboBox2->setToolTip(QStringLiteral("Выберите тему"));
    DBLookupComboBox2->setEnabled(false);
    bar1->addWidget(DBLookupComboBox2);
    bar1->addSeparator();
    Button2 = new QPushButton(QStringLiteral("Выключить звук "), bar1);
    Button2->setObjectName(QStringLiteral("Button2"));
    bar1->addWidget(Button2);

    addToolBarBreak();
    auto* bar2 = addToolBar(QStringLiteral("Урок"));
    bar2->setObjectName(QStringLiteral("ToolBar2"));
    bar2->setMovable(false);
    bar2->setIconSize(QSize(24, 24));
    bar2->addWidget(ToolLabel(QStringLiteral("     Урок   "), bar2));
    DBLookupComboBox3 = new TDBLookupComboBox(bar2);
    DBLookupComboBox3->setObjectName(QStringLiteral("DBLookupComboBox3"));
    DBLookupComboBox3->setToolTip(QStringLiteral("Выберите тип урока"));
    DBLookupComboBox3->setEnabled(false);
    DBLookupComboBox3->setMinimumContentsLength(36);
    bar2->addWidget(DBLookupComboBox3);
    bar2->addSeparator();
    ToolButton1 = MakeToolButton(bar2, "ToolButton1", 1,
                                 QStringLiteral("Вкл\\Выкл графическое изображение"), false);
    ToolButton2 =
        MakeToolButton(bar2, "ToolButton2", 2, QStringLiteral("Вкл\\Выкл Видеофрагмент"), false);
    ToolButton3 =
        MakeToolButton(bar2, "ToolButton3", 3, QStringLiteral("Вкл\\Выкл Интернет ссылку"), false);
    ToolButton4 = MakeToolButton(bar2, "ToolButton4", 4, QStringLiteral("Вкл\\Выкл мелодию"), true);
    bar2->addSeparator();
    ToolButton7 = MakeToolButton(bar2, "ToolButton7", 7,
                                 QStringLiteral("Вкл\\Выкл звуковое сопровождение"), true);
    ToolButton8 = MakeToolButton(bar2, "ToolButton8", 8, QString(), false);
    ToolButton9 =
        MakeToolButton(bar2, "ToolButton9", 9, QStringLiteral("Запуск внешнего приложения"), false);
    bar2->addSeparator();
    Button1 = new QPushButton(QStringLiteral("Редактировать"), bar2);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1Action = bar2->addWidget(Button1);
    Button1Action->setVisible(false);

    WebBrowser1 = new QWebEngineView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    setCentralWidget(WebBrowser1);

    const int panelWidths[3] = {60, 50, 50};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(this);
        StatusPanels[i]->setMinimumWidth(panelWidths[i]);
        StatusPanels[i]->setContentsMargins(4, 0, 4, 0);
        statusBar()->addWidget(StatusPanels[i], i == 2 ? 1 : 0);
    }

    MediaPlayer1 = new TMediaPlayer(this);
    MediaPlayer2 = new TMediaPlayer(this);
    VideoWindow = new QVideoWidget;
    VideoWindow->setWindowTitle(QStringLiteral("Видеофрагмент"));
    VideoWindow->resize(640, 480);
    MediaPlayer1->SetDisplay(VideoWindow);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();

    connect(DBLookupComboBox1, &TDBLookupComboBox::Click, this,
            [this] { Guarded([&] { DBLookupComboBox1Click(); }); });
    connect(DBLookupComboBox2, &TDBLookupComboBox::Click, this,
            [this] { Guarded([&] { DBLookupComboBox2Click(); }); });
    connect(DBLookupComboBox3, &TDBLookupComboBox::Click, this,
            [this] { Guarded([&] { DBLookupComboBox3Click(); }); });
    connect(ToolButton1, &QToolButton::clicked, this,
            [this] { Guarded([&] { ToolButton1Click(); }); });
    connect(ToolButton2, &QToolButton::clicked, this,
            [this] { Guarded([&] { ToolButton2Click(); }); });
    connect(ToolButton3, &QToolButton::clicked, this,
            [this] { Guarded([&] { ToolButton3Click(); }); });
    connect(ToolButton4, &QToolButton::clicked, this,
            [this] { Guarded([&] { ToolButton4Click(); }); });
    connect(ToolButton7, &QToolButton::clicked, this,
            [this] { Guarded([&] { ToolButton7Click(); }); });
    connect(ToolButton8, &QToolButton::clicked, this,
            [this] { Guarded([&] { ToolButton8Click(); }); });
    connect(ToolButton9, &QToolButton::clicked, this,
            [this] { Guarded([&] { ToolButton9Click(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Guarded([&] { Button2Click(); }); });

    FormCreate();
}

TForm1::~TForm1() {
    delete VideoWindow;
}

void TForm1::FormCreate() {
    WorkDir = QDir::currentPath();
    Navigate(StartPage());
    StatusPanels[2]->setText(
        QStringLiteral("Torvane — электронное учебное руководство по электрическим цепям. Vexilo"));
    Timer1Timer();
}

void TForm1::LinkData(TDataModule2* data) {
    Data = data;
    DBLookupComboBox1->SetListSource(Data->Trazdel, QStringLiteral("kod_razdel"),
                                     QStringLiteral("razdel"));
    DBLookupComboBox2->SetListSource(Data->TTema, QStringLiteral("kod_tema"),
                                     QStringLiteral("tema"));
    DBLookupComboBox3->SetListSource(Data->Turok, QStringLiteral("kod_uroka"),
                                     QStringLiteral("tip"));
}

bool TForm1::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        Guarded([&] {
            try {
                FormActivate();
            } catch (const EDatabaseError& error) {
                // Coming back to the window is no action of the student's: with the class server
                // away the lists stay as they are, and the journal has said so already.
                if (error.Fault() != TDbFault::Offline) throw;
            }
        });
    }
    return QMainWindow::event(e);
}

void TForm1::FormActivate() {
    if (!Data) return;
    // The lists the student sees decide, not the tables' current rows, which another window (the
    // editor, the test) may have moved meanwhile. A list that shows nothing offers nothing below
    // it: a lesson must never be picked under a topic the topic list does not show, or its
    // journal entry would name no topic.
    const QVariant section = DBLookupComboBox1->ShownKey();
    if (!section.isNull()) Data->Trazdel->Locate(QStringLiteral("kod_razdel"), section);
    DBLookupComboBox1Click();
    DBLookupComboBox2->setEnabled(!section.isNull());
    const QVariant topic = DBLookupComboBox2->ShownKey();
    if (!topic.isNull()) Data->TTema->Locate(QStringLiteral("kod_tema"), topic);
    DBLookupComboBox2Click();
    DBLookupComboBox3->setEnabled(!topic.isNull());
    const QVariant lesson = DBLookupComboBox3->ShownKey();
    if (!lesson.isNull()) Data->Turok->Locate(QStringLiteral("kod_uroka"), lesson);
}

void TForm1::Timer1Timer() {
    const QLocale locale = QLocale::system();
    StatusPanels[0]->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    StatusPanels[1]->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

void TForm1::DBLookupComboBox1Click() {
    Data->TTema->SetFilter(QStringLiteral("kod_razdel=") +
                           CodeLiteral(DBLookupComboBox1->ShownKey()));
    Data->TTema->SetFiltered(true);
    DBLookupComboBox2->setEnabled(true);
    DBLookupComboBox3->setEnabled(false);
}

void TForm1::DBLookupComboBox2Click() {
    Data->Turok->SetFilter(QStringLiteral("kod_tema=") +
                           CodeLiteral(DBLookupComboBox2->ShownKey()));
    Data->Turok->SetFiltered(true);
    DBLookupComboBox3->setEnabled(true);
}

void TForm1::DBLookupComboBox3Click() {
    const struct {
        const char* Field;
        QToolButton* Button;
    } items[] = {
        {"jpg", ToolButton1},  {"avi", ToolButton2}, {"mid", ToolButton4}, {"wav", ToolButton7},
        {"test", ToolButton8}, {"htm", ToolButton3}, {"exe", ToolButton9},
    };
    for (const auto& item : items)
        item.Button->setEnabled(Data->Turok->FieldText(QLatin1String(item.Field)) != NoItem);

    const QString page = LessonFile(QStringLiteral("htm"));
    if (page.isEmpty()) {
        Navigate(StartPage());
        return;
    }
    Navigate(page);
    WriteJournal(DBLookupComboBox2->Text(), DBLookupComboBox3->Text(), 0);
}

void TForm1::WriteJournal(const QString& tema, const QString& urok, int ocenka) {
    try {
        const TJournalWrite result =
            Data->AppendJournal(tema, urok, Form6 ? Form6->Edit1->text() : QString(),
                                Form6 ? Form6->Edit2->text() : QString(), ocenka);
        if (result == TJournalWrite::Queued && !JournalQueueShown) {
            // Said once: the lessons go on, and every visit waits here until the server is back.
            JournalQueueShown = true;
            ShowMessage(QStringLiteral(
                            "Нет связи с сервером журнала.\n"
                            "Посещения уроков и результаты тестов сохраняются на этом компьютере "
                            "и будут записаны в журнал, как только связь восстановится."),
                        TMessageKind::Information, this);
        }
    } catch (const EDatabaseError& e) {
        // The lessons stay usable without their journal; one word about it is enough, not a box
        // at every lesson.
        if (JournalFailureShown) return;
        JournalFailureShown = true;
        const QString reason = e.Fault() == TDbFault::ReadOnly
                                   ? QStringLiteral("база данных доступна только для чтения")
                                   : e.Text();
        ShowErrorReport(
            QStringLiteral("Журнал занятий не может быть записан: %1.\n"
                           "Уроки можно смотреть и дальше, но посещения и оценки не сохраняются.")
                .arg(reason));
    }
}

QString TForm1::LessonFile(const QString& field) const {
    if (!Data) return QString();
    const QString value = Data->Turok->FieldText(field);
    if (value.isEmpty()) return QString();
    const QString path = WorkDir + u'/' + value;
    return QFileInfo(path).isFile() ? path : QString();
}

QString TForm1::StartPage() const {
    return WorkDir + QStringLiteral("/zas.mht");
}

void TForm1::Navigate(const QString& fileName) {
    WebBrowser1->load(QUrl::fromLocalFile(fileName));
}

void TForm1::ToolButton1Click() {
    const QString picture = LessonFile(QStringLiteral("jpg"));
    if (picture.isEmpty() || !Form3) return;
    Form3->Image1->LoadFromFile(picture);
    Form3->show();
    Form3->raise();
}

void TForm1::ToolButton2Click() {
    const QString video = LessonFile(QStringLiteral("avi"));
    if (video.isEmpty()) return;
    MediaPlayer1->FileName = video;
    MediaPlayer1->Open();
    MediaPlayer1->Play();
    VideoWindow->show();
    VideoWindow->raise();
}

void TForm1::ToolButton3Click() {
    const QString page = LessonFile(QStringLiteral("htm"));
    if (page.isEmpty()) return;
    Navigate(page);
}

void TForm1::ToolButton4Click() {
    const QString music = LessonFile(QStringLiteral("mid"));
    if (music.isEmpty()) return;
    MediaPlayer2->FileName = music;
    MediaPlayer2->Open();
    if (ToolButton4->isChecked())
        MediaPlayer2->Play();
    else
        MediaPlayer2->Stop();
}

void TForm1::ToolButton7Click() {
    const QString speech = LessonFile(QStringLiteral("wav"));
    if (speech.isEmpty()) return;
    MediaPlayer1->FileName = speech;
    MediaPlayer1->Open();
    if (ToolButton7->isChecked())
        MediaPlayer1->Play();
    else
        MediaPlayer1->Stop();
}

void TForm1::ToolButton8Click() {
    const QString test = LessonFile(QStringLiteral("test"));
    if (test.isEmpty() || !TestWindow) return;
    // The test takes its folder and its journal names from this lesson, whatever the lists show
    // by the time it is started or finished.
    TestWindow->OpenFor({Data->Turok->FieldText(QStringLiteral("tema")),
                         Data->Turok->FieldText(QStringLiteral("tip")),
                         QFileInfo(test).absolutePath()});
    TestWindow->show();
    TestWindow->raise();
}

void TForm1::ToolButton9Click() {
    if (!Data) return;
    // The course folder first, then the coursebook's own folder, where an installation keeps
    // the package's programs.
    const TLessonProgram lesson =
        ResolveLessonProgram(Data->Turok->FieldText(QStringLiteral("exe")),
                             {WorkDir, QCoreApplication::applicationDirPath()});
    // Started on its own, in the coursebook's folder; the browser goes on at once. A lab goes to
    // the workbench that is already open, if there is one.
    StartLessonProgram(lesson, WorkDir, this, [](const QString& program) {
        ShowErrorReport(QStringLiteral("Не удалось запустить программу \"%1\"").arg(program));
    });
}

void TForm1::Button1Click() {
    if (EditorWindow) {
        EditorWindow->show();
        EditorWindow->raise();
    }
}

void TForm1::SetButton1Visible(bool visible) {
    Button1Action->setVisible(visible);
}

bool TForm1::Button1Visible() const {
    return Button1Action->isVisible();
}

void TForm1::Button2Click() {
    MediaPlayer1->Close();
    MediaPlayer2->Close();
}

void TForm1::N1Click() {
    // A student's user on a class server may not read the editor's password, nor change lessons.
    if (Data && !Data->Tpas->Active()) {
        ShowMessage(QStringLiteral("Редактирование уроков доступно только учителю.\n"
                                   "Войдите в систему под учётной записью учителя."),
                    TMessageKind::Information, this);
        return;
    }
    if (PasswordWindow) {
        PasswordWindow->show();
        PasswordWindow->raise();
    }
}

void TForm1::N2Click() {
    Navigate(WorkDir + QStringLiteral("/help.mht"));
}

void TForm1::N3Click() {
    if (Form6) Form6->close();
}

void TForm1::closeEvent(QCloseEvent* e) {
    e->accept();
    if (Form6) Form6->close();
}
