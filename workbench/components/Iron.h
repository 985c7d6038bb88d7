#pragma once
// The part: a circuit element the student takes out of the parts box. It adds the kind code,
// the two board pictures (vertical and horizontal), selection, the popup menu, the hint, the
// scheme-file record and the periodic tick. Each kind of part derives from it.

#include "board/Frmwork.h"
#include "components/Iron0.h"
#include "components/PanelValues.h"
#include "schemefile/SchemeIO.h"

#include <QCursor>
#include <functional>
#include <random>

class QMenu;

// A kind's class picture in both orientations, with a drag cursor made from each: the horizontal
// picture as stored, the vertical one with rows and columns exchanged.
struct TPicturePair {
    QImage Horizontal;
    QImage Vertical;
    QCursor HorizontalCursor;
    QCursor VerticalCursor;

    void Load(const QString& name);
    void Free() { *this = TPicturePair(); }
    // Gives a part this pair as its pictures and drag cursors, and shows the one that fits.
    void CopyTo(class TIron& part) const;
};

class TIron : public TIron0, public TBoardPart {
    Q_OBJECT
public:
    explicit TIron(quint8 kind);
    ~TIron() override;

    quint8 Kind;
    bool Vertical = false;
    QImage VerticalPicture;
    QImage HorizontalPicture;
    QCursor VerticalCursor;
    QCursor HorizontalCursor;
    bool Hidden = false;

    void UpdateState() override;
    void ConnectNodes(TNode* first, TNode* second) override;

    // TBoardPart
    QWidget* PartWidget() override { return this; }
    bool Joins(const TNode* a, const TNode* b) const override {
        return (FirstNode == a && SecondNode == b) || (FirstNode == b && SecondNode == a);
    }

    virtual void SetHidden(bool hidden);
    // The part's record: the common fields, then the kind's own tail.
    virtual void SaveToFile(QIODevice& file);
    virtual void LoadFromFile(QIODevice& file);
    // Whether the part's first node lies below or right of its second: the board always joins
    // the upper or left end first, but a file may name them the other way round.
    bool EndsReversed() const;
    // The same part on the same edge with its ends exchanged, so that the first is the upper or
    // left one. A part with a polarity keeps its polarity pointing the same way.
    virtual void TurnEndForEnd();
    // Called on every tick of the board.
    void TimerTick() override {}
    // The text shown when the pointer rests on the part.
    virtual QString GetHint() { return QString(); }

    // The parameters panel: the kind fills the record for its page and takes it back.
    virtual void FillPanel(TPanelValues&) {}
    virtual void TakePanel(const TPanelValues&) {}
    // The part-state window shows the EMF rather than the voltage for sources.
    virtual bool StateShowsEmf() const { return false; }
    // A key the main window hands to the selected part (the variable parts take R and C).
    virtual void KeyCommand(QChar) {}
    // A battery that runs down on the tick: the board solves again with its new values.
    bool DischargingNow() const override { return false; }

    // The parameters panel page of the part's kind (0: none).
    int PanelPage() const;

    // The part's popup menu; kinds add their own commands after the delete item.
    QMenu* PopupMenu() const { return Popup; }

    // Class operations: every kind's pictures and cursors are made once at start-up.
    static void ExecuteStartups();
    static void ExecuteExits();
    // A value between b (t = 0) and a (t = 1) in 1001 steps, kept to two significant digits.
    static double GetRandomDouble(double a, double b);

    // Shows the picture of the present orientation (vertical or horizontal).
    void ShowOrientationPicture();

protected:
    // A rating (rated power, voltage, current) takes the value's magnitude; a lower rating
    // sends the circuit-changed message, so that the overload check runs again.
    static void SetRating(double& rating, double value);
    // One of a kind's own hidden marks: the common mark follows the mark that changed last.
    void SetMarkHidden(bool& mark, bool hidden);
    // The end of a burn-out: the burnt pictures, and the sound.
    void ShowBurnt(const TPicturePair& burnt);
    // A press on a part takes the keyboard back to the bench.
    void FocusBench();

    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) override;
    void OnMouseMove(Qt::KeyboardModifiers mods, int x, int y) override;
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) override;
    void OnDblClick() override;
    void OnStartDrag(TDragObject*& dragObject) override;
    void OnDragOver(TDragObject* source, int x, int y, bool& accept) override;
    void OnDragDrop(TDragObject* source, int x, int y) override;
    void paintEvent(QPaintEvent*) override;

private:
    QMenu* Popup;
};

// The hint piece of a value hidden from the student: "from <lower> <unit> to <upper> <unit>".
QString HiddenRange(const QString& lower, const QString& lowerUnit, const QString& upper,
                    const QString& upperUnit);

// The random values of the parts (hidden values, black boxes): one engine for the whole run,
// seeded once, so that two values drawn within the same second differ. Tests seed it.
std::mt19937& PartRandom();
void SeedPartRandom(quint32 seed);

// Every part in creation order: scheme files and the tick walk it.
extern QList<TIron*> Parts;
extern TIron* SelectedPart;

// Destroys every part, always the first of Parts, until none is left.
void DestroyAllParts();

// Selects a part (or none), repaints both and fills the panel and the state window.
void Select(TIron* part);
// The part-state window shows the selected part's values (blank without one).
void RefreshStateWindow();
// The parameters panel shows the selected part's page and values.
void FillParametersPanel();
// The panel's apply action: the selected part takes the values, the circuit changed.
void ApplyPanelValues(const TPanelValues& values);
// What the selected part holds now, as it would fill the panel; false without a selection.
bool SelectedPanelValues(TPanelValues& values);

// A kind's class start-up (load pictures, make cursors) and exit (free them). ExecuteStartups
// runs them in registration order; the kinds register in the order the loading shows them.
void RegisterClassSteps(std::function<void()> startup, std::function<void()> exit);
