#pragma once
// The main window: the workbench itself. A borderless full-screen window with a title strip, a
// tool bar of commands, the parts box on the right, the board in the middle, the trash can at
// the bottom left and a status line. Its timer drives the board; it turns the circuit-changed
// message into the board's flag, takes scheme names from other programs, and runs the
// document commands (open, save, save as).

#include "board/Dragging.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class QLocalServer;
class QToolButton;
class TFramework;
class TIron;
class TWorkshopForm;

// A picture of the parts box: closed at rest, opened while pressed; pulled out more than 10
// pixels, it hands out a new part of its kind.
// What the other windows lend the main window's buttons. A button whose command is missing, or
// whose window does not exist yet, cannot be pressed.
struct TWindowsHost {
    std::function<void()> CreateMultimeter;    // a new multimeter panel
    std::function<bool()> MultimeterSlotsFull; // both multimeters are out
    std::function<void()> CreateOscilloscope;
    std::function<void()> ShowAbout;
    std::function<void()> ShowOptions;
    QPointer<QWidget> FloatControlWindow; // the parameters panel, once made
    QPointer<QWidget> IronStateWindow;    // the part-state window, once made
    QPointer<QWidget> AboutWindow;        // the about window, once made
};

class TBoxItem : public QLabel, public TDragClient {
    Q_OBJECT
public:
    TBoxItem(TWorkshopForm* form, quint8 kind, const QString& stem, long hintId);
    quint8 Tag;
    QImage Closed;
    QImage Opened;

    void StartDrag(TDragObject*& dragObject) override;
    void EndDrag(QWidget* target, int x, int y) override;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TWorkshopForm* Form;
    bool Pressed = false;
    QPoint PressPoint;
};

// The trash can: it takes parts dropped on it and destroys them.
class TTrashCan : public QLabel, public TDragClient {
    Q_OBJECT
public:
    explicit TTrashCan(TWorkshopForm* form);
    bool HasDragOver() const override { return true; }
    void DragOver(TDragObject* source, int x, int y, bool& accept) override;
    void DragDrop(TDragObject* source, int x, int y) override;
};

class TWorkshopForm : public QWidget {
    Q_OBJECT
public:
    explicit TWorkshopForm(QWidget* parent = nullptr);
    ~TWorkshopForm() override;

    // The name of the local server other programs send scheme names to, and starting it
    // (once the parts' pictures are loaded: a scheme cannot be loaded before).
    static QString LoadSchemeServerName();
    void StartListening();

    // Controls, by their names.
    QLabel* imgTitleBackground = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* imgMinimize = nullptr;
    QWidget* ControlBar = nullptr;
    QWidget* lineSplitter = nullptr;
    QLabel* imgToolBar = nullptr;
    TTrashCan* imgTrashcan = nullptr;
    QLabel* StatusBar = nullptr;
    QTimer* TimerCat = nullptr;
    TFramework* Board = nullptr;
    QList<TBoxItem*> BoxItems;

    QToolButton* btnReadFile = nullptr;
    QToolButton* btnWriteFile = nullptr;
    QToolButton* btnDeleteAll = nullptr;
    QToolButton* btnMultimeter = nullptr;
    QToolButton* btnOscillograph = nullptr;
    QToolButton* btnFloatControl = nullptr;
    QToolButton* btnIronState = nullptr;
    QToolButton* btnHelpReference = nullptr;
    QToolButton* btnHelpLabs = nullptr;
    QToolButton* btnHelp = nullptr;
    QToolButton* btnOptions = nullptr;
    QToolButton* btnCalc = nullptr;
    QToolButton* btnAbout = nullptr;
    QToolButton* btnExit = nullptr;

    // The calculator the calculator button starts; empty when none is installed.
    QString CalculatorPath;
    // Where the open and save dialogs start: "User" beside the program, or the user's own
    // schemes folder of an installed package (made on the first save).
    QString SchemesFolder = QStringLiteral("User");

    // The document: the caption and the Save button's hint follow the file name.
    void SetFileName(const QString& name);
    // Open, Save (Save As while SaveAsRequested), and their buttons.
    void btnReadFileClick();
    bool SaveCommand(); // false when the user cancelled the dialog or the file was not written
    void btnWriteFileClick();
    void btnDeleteAll_OnClick();
    // The load-scheme message: a scheme name from another program.
    void LoadSchemeByName(const QString& name);
    // The path that name stands for ("Labs/" before a bare name, ".workbench" after a name
    // without a dot); empty when it would be longer than 255 characters.
    static QString SchemePathFor(const QString& name);

    // Throws the selected part away (the Delete key, the parts' popup menus).
    void mnuOnDelete();
    // The trash can's end of a dragged part: the part is destroyed.
    void DisposeIntoTrash(TIron* part);
    // A part of the box's kind, or none when the board is full (a message says so).
    TIron* TakePartFromBox(quint8 kind);
    void SetBoxItemEnabled(quint8 kind, bool enabled);

    void btnHelpReferenceClick();
    void btnHelpLabsClick();
    void btnHelpClick();
    void btnCalcOnClick();
    void btnFloatControlClick();
    void btnIronStateClick();

    // What the other windows lend the main window: installed by JoinWindows (shell/Wiring.cpp).
    TWindowsHost Windows;

    void OnTimer();
    void UpdateCommandButtons();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QToolButton* AddButton(const QString& name, long hintId, const QString& glyph, int& x);
    void SetHint(QWidget* w, const QString& hint);
    void ShowLongHint(const QString& hint);
    void OpenHelp(const QString& folder);
    QStringList SchemePlaces() const;
    void LayOut();

    QImage Background;
    QPoint BackgroundOffset;
    bool OffsetChosen = false;
    bool TrashSoundPlayed = false;
    bool ReferenceSoundPlayed = false;
    QLocalServer* SchemeServer = nullptr;
};

extern TWorkshopForm* WorkshopForm;
