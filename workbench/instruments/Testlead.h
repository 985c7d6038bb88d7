#pragma once
// A test lead: the red or black probe of one instrument input. It rests in its socket on the
// instrument's panel until the student drags it onto a board node; there it makes the
// instrument's hidden circuit element a member of that node, the red lead setting the element's
// first terminal and the black lead its second. Dragged off the board, it goes back home.
//
// Inputs: 1 and 2 are the two multimeters, 3 and 4 the oscilloscope's channels A and B.

#include "board/Flatobject.h"
#include "board/Frmwork.h"

#include <QList>
#include <functional>

class TIron0;
class TNode;

class TTestLead : public TFlatObject, public TLeadPlug {
    Q_OBJECT
public:
    // Throws EThrownText("Странный № щупа?<n>") for an input number outside 1..4.
    TTestLead(TIron0* instrument, bool isRed, int inputNumber);
    ~TTestLead() override;

    TNode* Node = nullptr; // null while the lead rests in its socket
    const bool IsRed;
    const int InputNumber;
    TIron0* const Instrument;

    // Plugs the lead into a node, or with null puts it back into its socket.
    void SetNode(TNode* node) override;

    // Every lead above everything else, in creation order: leads always lie above parts.
    static void AllBringToFront();
    bool StaysAboveParts() const override { return true; }

    // The picture of a lead: "bmpTestLead", R or B, the input number.
    static QString PictureName(bool isRed, int inputNumber);
    // The cursor shown while the lead travels: 60..67, red before black, input by input.
    static int DragCursorOf(bool isRed, int inputNumber);

protected:
    void OnStartDrag(TDragObject*& dragObject) override;
    void OnEndDrag(QWidget* target, int x, int y) override;
    void OnDragOver(TDragObject* source, int x, int y, bool& accept) override;
    void OnDragDrop(TDragObject* source, int x, int y) override;

private:
    bool OnBoard() const;
    void GoToSocket();
};

// Every lead of the program, in creation order.
extern QList<TTestLead*> TestLeads;

// An instrument element that wants to know when one of its leads moved its terminal.
class TLeadListener {
public:
    virtual ~TLeadListener() = default;
    virtual void TerminalMoved() = 0;
};
