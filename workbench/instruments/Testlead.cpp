#include "instruments/Testlead.h"

#include "board/Host.h"
#include "board/Node.h"
#include "components/Iron0.h"
#include "instruments/Oscpanel.h"
#include "instruments/Pribor.h"
#include "shell/Global.h"

QList<TTestLead*> TestLeads;

namespace {
constexpr int crArm = 111;
constexpr int FirstLeadCursor = 60;

// The number is checked before anything is made, so a wrong one is reported as such and not as
// a missing picture.
QString CheckedPictureName(bool isRed, int inputNumber) {
    if (inputNumber < 1 || inputNumber > 4)
        throw EThrownText(QString("Странный № щупа?%1").arg(inputNumber));
    return TTestLead::PictureName(isRed, inputNumber);
}

// The eight lead cursors are made once per program run and stay until it ends.
void RegisterLeadCursors() {
    static bool done = false;
    if (done) return;
    int number = FirstLeadCursor;
    for (int input = 1; input <= 4; ++input)
        for (bool red : {true, false})
            RegisterCursor(number++, BitmapToCursor(LoadTransparentBitmap(
                                         TTestLead::PictureName(red, input))));
    done = true;
}
} // namespace

QString TTestLead::PictureName(bool isRed, int inputNumber) {
    return QString("bmpTestLead%1%2").arg(isRed ? 'R' : 'B').arg(inputNumber);
}

int TTestLead::DragCursorOf(bool isRed, int inputNumber) {
    return FirstLeadCursor + 2 * (inputNumber - 1) + (isRed ? 0 : 1);
}

TTestLead::TTestLead(TIron0* instrument, bool isRed, int inputNumber)
    : TFlatObject(Framework, CheckedPictureName(isRed, inputNumber)), IsRed(isRed),
      InputNumber(inputNumber), Instrument(instrument) {
    HoverCursor = crArm;
    RegisterLeadCursors();
    hide();
    move(0, 0);
    resize(Picture.size());
    DragCursor = DragCursorOf(isRed, inputNumber);
    SetNode(nullptr);
    if (parentWidget()) show(); // never as a window of its own
    TestLeads.append(this);
}

TTestLead::~TTestLead() {
    TestLeads.removeOne(this);
}

bool TTestLead::OnBoard() const {
    return Framework && parentWidget() == Framework;
}

void TTestLead::SetNode(TNode* node) {
    Node = node;
    if (Instrument) {
        TNode*& terminal = IsRed ? Instrument->FirstNode : Instrument->SecondNode;
        if (terminal) terminal->Detach(Instrument);
        if (node) node->Attach(Instrument);
        terminal = node;
    }
    if (node) {
        // Centred on the node: the probe's tip is the middle of the picture.
        const bool shown = !isHidden();
        if (Framework && parentWidget() != Framework) setParent(Framework);
        move(int((node->Column + 0.5) * TFramework::Pitch - width() / 2),
             int((node->Row + 0.5) * TFramework::Pitch - height() / 2));
        if (shown) show();
    } else {
        GoToSocket();
    }
    raise();
    if (auto* listener = dynamic_cast<TLeadListener*>(Instrument)) listener->TerminalMoved();
}

void TTestLead::GoToSocket() {
    QWidget* socket = nullptr;
    QPoint at;
    if (InputNumber == 1 || InputNumber == 2) {
        if (TPriborPanel* panel = MultimeterPanels[InputNumber - 1]) {
            socket = panel->PriborImage;
            at = IsRed ? QPoint(118, 203) : QPoint(118, 228);
        }
    } else {
        if (!OscilloscopeLeadSocket(InputNumber, IsRed, socket, at)) socket = nullptr;
    }
    if (!socket) return; // no socket to go to: the lead stays where it is
    const bool shown = !isHidden();
    if (parentWidget() != socket) setParent(socket);
    move(at);
    if (shown) show();
}

void TTestLead::AllBringToFront() {
    for (TTestLead* lead : TestLeads)
        lead->raise();
}

void TTestLead::OnStartDrag(TDragObject*& dragObject) {
    TFlatObject::OnStartDrag(dragObject);
    SetNode(nullptr);
    NotifyCircuitChanged(); // solved again without this lead
}

void TTestLead::OnEndDrag(QWidget*, int, int) {
    show();
}

// A lead lying on the board is part of the board: what is dragged over it or dropped on it goes
// to the board at that spot. A lead resting in its socket is not on the board, and a drop there
// must not land on the board at some unrelated place, so it refuses.
void TTestLead::OnDragOver(TDragObject* source, int x, int y, bool& accept) {
    if (OnBoard())
        Framework->OnDragOver(source, x + this->x(), y + this->y(), accept);
    else
        accept = false;
}

void TTestLead::OnDragDrop(TDragObject* source, int x, int y) {
    if (OnBoard()) Framework->OnDragDrop(source, x + this->x(), y + this->y());
}
