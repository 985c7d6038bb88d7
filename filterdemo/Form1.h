#pragma once
// The calculator's one window. The student picks the cutoff frequency (a number from 1 to 999 on
// the scroll bar and a unit) and the value of the two equal resistors; the window shows at once
// the capacitors C1 and C2 of the maximally flat filter beside the filter's schematic.

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollBar;
class TSchematic;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    // Puts the window into its opening state: 440 Hz, 22 kOhm, and the results for them.
    void Form_Load();

signals:
    // After every recalculation, once the results are on the window.
    void Recalculated();

private:
    void CreateControls();
    // Twips are 1/1440 inch; the window keeps its proportions on any screen resolution.
    int Twips(int twips) const;
    void PlaceTwips(QWidget* w, int left, int top, int width, int height) const;

    void Combo1_Click();
    void Combo2_Click();
    void Combo3_Click();
    void HScroll1_Change();
    void HScroll1_Scroll();
    void Recalculate();

    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo2 = nullptr;
    QComboBox* Combo3 = nullptr;

    QGroupBox* Frame2 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label5 = nullptr;

    TSchematic* Image1 = nullptr;
    QPlainTextEdit* Text3 = nullptr;

    // False until the window has its opening values: the events fired while they are set must
    // not calculate from half-set inputs.
    bool Loaded = false;
};
