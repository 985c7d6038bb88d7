#pragma once
#include "TestKey.h"

#include <QList>
#include <QMainWindow>
#include <QString>

class QLabel;
class QPushButton;
class QTimer;
class QWebEngineView;
class QWidget;

// The lesson a test belongs to: the names its journal entry carries and the test's folder.
struct TTestLesson {
    QString Tema;   // the topic as the topic list shows it
    QString Urok;   // the lesson's title as the lesson list shows it
    QString Folder; // the folder of the lesson's test file
};

// What a finished test hands to the result window.
struct TTestResult {
    int Right = 0;
    int Wrong = 0;
    TTestLesson Lesson;
};

// The test window: a test of up to 40 questions drawn from the lesson's test folder. The
// student starts it, picks questions by number, answers with the letter buttons, may come back
// and change any answer, and finishes it; the result window then shows and journals the result.
class TForm13 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm13(QWidget* parent = nullptr);

    struct TSlot {
        int Question = 0; // the page shown in this slot (1..)
        int Right = 0;    // its right answer code (1..5)
        int Chosen = 0;   // the student's answer code, 0 for none
    };

    QPushButton* BitBtn41;                      // "Начать  тест"
    QPushButton* BitBtn42;                      // "Закончить  тест"
    QPushButton* AnswerButtons[5];              // BitBtn43..BitBtn47: "A)" .. "E)"
    QPushButton* QuestionButtons[MaxTestSlots]; // "1" .. "40"
    QWidget* QuestionRow;
    QWebEngineView* WebBrowser1;
    QLabel* StatusPanels[3];
    QTimer* Timer1;

    // The lesson whose test the next start runs (the browser's test button sets it).
    void OpenFor(const TTestLesson& lesson);
    const TTestLesson& NextLesson() const { return Pending; }

    void BitBtn41Click();        // start a test
    void BitBtn42Click();        // finish it
    void BitBtn1Click(int slot); // show the question of a slot (1..)
    void AnswerClick(int code);  // BitBtn43Click .. BitBtn47Click with codes 1..5
    void Timer1Timer();

    bool Running() const { return TestRunning; }
    int SlotCount() const { return int(Slots.size()); }
    const QList<TSlot>& QuestionSlots() const { return Slots; }
    int CurrentSlot() const { return Current; }
    int RightCount() const { return Right; }
    int WrongCount() const { return Wrong; }
    bool Visited(int slot) const;
    // The question page a slot shows.
    QString QuestionPage(int slot) const;

signals:
    void Finished(const TTestResult& result);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowAnswerMarks();
    void UpdateProgress();

    TTestLesson Pending;
    TTestLesson Lesson; // the lesson of the running or last test
    QList<TSlot> Slots;
    QList<bool> VisitedMarks;
    int Current = 0;
    int Right = 0;
    int Wrong = 0;
    bool TestRunning = false;
    bool Placed = false;
};

extern TForm13* Form13;
