#include "Unit13.h"
#include "Dialogs.h"
#include "ErrorReport.h"

#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

TForm13* Form13 = nullptr;

namespace {

void SetCaptionRed(QPushButton* button, bool red) {
    QPalette p = button->palette();
    p.setColor(QPalette::ButtonText, red ? QColor(Qt::red) : QColor(Qt::black));
    button->setPalette(p);
}

QPushButton* TopButton(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    return b;
}

} // namespace

TForm13::TForm13(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form13"));
    setWindowTitle(QStringLiteral("Тестирование"));
    resize(1009, 576);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* panel = new QWidget(central);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(8, 6, 8, 6);
    auto* top = new QHBoxLayout;
    BitBtn41 = TopButton(QStringLiteral("Начать  тест"), "BitBtn41", panel);
    top->addWidget(BitBtn41);
    top->addSpacing(16);
    top->addWidget(new QLabel(QStringLiteral("Выберите правильный ответ"), panel));
    static const char* const answerNames[5] = {"BitBtn43", "BitBtn44", "BitBtn45", "BitBtn46",
                                               "BitBtn47"};
    for (int i = 0; i < 5; ++i) {
        AnswerButtons[i] = TopButton(QString(QChar(u'A' + i)) + u')', answerNames[i], panel);
        AnswerButtons[i]->setFixedWidth(56);
        top->addWidget(AnswerButtons[i]);
        connect(AnswerButtons[i], &QPushButton::clicked, this,
                [this, i] { Guarded([&] { AnswerClick(i + 1); }); });
    }
    top->addSpacing(16);
    BitBtn42 = TopButton(QStringLiteral("Закончить  тест"), "BitBtn42", panel);
    BitBtn42->setEnabled(false);
    top->addWidget(BitBtn42);
    top->addStretch();
    panelLayout->addLayout(top);

    // The question row: buttons 22 pixels square, 24 apart, from 16 pixels in.
    QuestionRow = new QWidget(panel);
    QuestionRow->setObjectName(QStringLiteral("QuestionRow"));
    QuestionRow->setFixedHeight(26);
    QuestionRow->setMinimumWidth(16 + 24 * MaxTestSlots);
    for (int n = 1; n <= MaxTestSlots; ++n) {
        auto* b = new QPushButton(QString::number(n), QuestionRow);
        b->setObjectName(QStringLiteral("BitBtn%1").arg(n));
        b->setGeometry(16 + 24 * (n - 1) - 8, 2, 22, 22);
        QFont f = b->font();
        f.setPointSize(std::max(7, f.pointSize() - 2));
        b->setFont(f);
        // The caption says which slot: one handler serves all forty.
        connect(b, &QPushButton::clicked, this,
                [this, b] { Guarded([&] { BitBtn1Click(b->text().toInt()); }); });
        QuestionButtons[n - 1] = b;
    }
    QuestionRow->hide();
    panelLayout->addWidget(QuestionRow);
    column->addWidget(panel);

    WebBrowser1 = new QWebEngineView(central);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    column->addWidget(WebBrowser1, 1);
    setCentralWidget(central);

    const int panelWidths[3] = {80, 60, 300};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(this);
        StatusPanels[i]->setMinimumWidth(panelWidths[i]);
        StatusPanels[i]->setContentsMargins(4, 0, 4, 0);
        statusBar()->addWidget(StatusPanels[i], i == 2 ? 1 : 0);
    }
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TForm13::Timer1Timer);
    Timer1->start();
    Timer1Timer();

    connect(BitBtn41, &QPushButton::clicked, this, [this] { Guarded([&] { BitBtn41Click(); }); });
    connect(BitBtn42, &QPushButton::clicked, this, [this] { Guarded([&] { BitBtn42Click(); }); });
}

void TForm13::showEvent(QShowEvent* event) {
    if (!Placed) {
        Placed = true;
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    }
    QMainWindow::showEvent(event);
}

void TForm13::Timer1Timer() {
    const QLocale locale = QLocale::system();
    StatusPanels[0]->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    StatusPanels[1]->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

void TForm13::OpenFor(const TTestLesson& lesson) {
    // A running test stays with the lesson it was started from; the next start takes this one.
    Pending = lesson;
    if (!TestRunning) StatusPanels[2]->setText(lesson.Urok);
}

bool TForm13::Visited(int slot) const {
    return slot >= 1 && slot <= VisitedMarks.size() && VisitedMarks[slot - 1];
}

QString TForm13::QuestionPage(int slot) const {
    if (slot < 1 || slot > Slots.size()) return QString();
    return QDir(Lesson.Folder).filePath(QStringLiteral("%1.htm").arg(Slots[slot - 1].Question));
}

void TForm13::BitBtn41Click() {
    if (TestRunning) return;
    if (Pending.Folder.isEmpty()) {
        ShowMessage(QStringLiteral("У этого урока нет теста."), TMessageKind::Warning, this);
        return;
    }
    TTestKey key;
    try {
        key = ReadTestKey(Pending.Folder);
    } catch (const ETestError& e) {
        // The test does not start; whatever the window showed stays as it was.
        ShowMessage(e.Text(), TMessageKind::Warning, this);
        return;
    }

    // A new test starts clean: new draws, no answers, no visited marks, no current question.
    Lesson = Pending;
    Right = 0;
    Wrong = 0;
    const int slotCount = std::min(int(key.Codes.size()), MaxTestSlots);
    const QList<int> drawn = DrawQuestions(int(key.Codes.size()), slotCount, key.WithoutRepeats,
                                           *QRandomGenerator::global());
    Slots.clear();
    for (int q : drawn)
        Slots.append({q, key.Codes[q - 1], 0});
    VisitedMarks = QList<bool>(slotCount, false);
    Current = 0;
    for (int n = 1; n <= MaxTestSlots; ++n) {
        SetCaptionRed(QuestionButtons[n - 1], false);
        QuestionButtons[n - 1]->setVisible(n <= slotCount);
    }
    ShowAnswerMarks();
    QuestionRow->show();
    TestRunning = true;
    BitBtn41->setEnabled(false);
    BitBtn42->setEnabled(true);
    // The first question comes up at once rather than the page of the previous test.
    BitBtn1Click(1);
}

void TForm13::BitBtn1Click(int slot) {
    if (slot < 1 || slot > Slots.size()) return;
    SetCaptionRed(QuestionButtons[slot - 1], true);
    VisitedMarks[slot - 1] = true;
    Current = slot;
    WebBrowser1->load(QUrl::fromLocalFile(QuestionPage(slot)));
    ShowAnswerMarks();
    UpdateProgress();
}

void TForm13::AnswerClick(int code) {
    // Answers count only for the question on show, and only while its test runs.
    if (!TestRunning || Current == 0 || code < 1 || code > 5) return;
    Slots[Current - 1].Chosen = code;
    ShowAnswerMarks();
    UpdateProgress();
}

void TForm13::ShowAnswerMarks() {
    const int chosen = Current > 0 && Current <= Slots.size() ? Slots[Current - 1].Chosen : 0;
    for (int i = 0; i < 5; ++i)
        SetCaptionRed(AnswerButtons[i], chosen == i + 1);
}

void TForm13::UpdateProgress() {
    int answered = 0;
    for (const TSlot& s : Slots)
        answered += s.Chosen != 0;
    StatusPanels[2]->setText(QStringLiteral("%1 · вопрос %2 из %3 · отвечено %4")
                                 .arg(Lesson.Urok)
                                 .arg(Current)
                                 .arg(Slots.size())
                                 .arg(answered));
}

void TForm13::BitBtn42Click() {
    // One finish per started test: before a start, or a second time, there is nothing to count.
    if (!TestRunning) return;
    TestRunning = false;
    Right = 0;
    Wrong = 0;
    for (const TSlot& s : Slots) {
        if (s.Chosen == s.Right)
            ++Right;
        else
            ++Wrong;
    }
    BitBtn41->setEnabled(true);
    BitBtn42->setEnabled(false);
    emit Finished({Right, Wrong, Lesson});
}
