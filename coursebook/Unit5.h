#pragma once
#include "Unit13.h"

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;

// The result of a finished test: right answers, percentage and grade. Its journal entry is
// written when the window closes, by "Ок" or any other way, once per finished test.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);

    QLabel* Label4; // right answers
    QLabel* Label5; // percentage
    QLabel* Label6; // grade
    QPushButton* Button1;

    // Takes a finished test's result and shows it.
    void ShowResult(const TTestResult& result);
    void FormActivate();
    void Button1Click();

    const TTestResult& Result() const { return Shown; }
    bool EntryPending() const { return Pending; }
    // Writes the journal entry of the result on show, if it is not written yet.
    void WriteEntry();

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    bool event(QEvent* event) override;

private:
    TTestResult Shown;
    bool Pending = false;
};

extern TForm5* Form5;
