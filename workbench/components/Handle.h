#pragma once
// What the variable resistor and the variable capacitor share: a body picture in each
// orientation, a handle the program draws over it where the student moved it, and the drag
// cursors made from the whole part.

#include "schemefile/SchemeIO.h" // the steps of a handle

#include <QCursor>
#include <QImage>
#include <QString>

class TIron;

struct THandlePictures {
    QCursor HorizontalCursor;
    QCursor VerticalCursor;
    QImage Body;    // horizontal, without the handle
    QImage BodyV;   // vertical, a picture of its own: the value grows upwards
    QImage Handle;  // horizontal
    QImage HandleV; // the horizontal handle with rows and columns exchanged

    // Loads "<stem>" (for the cursors only), "<stem>NoHandle", "<stem>Handle" and
    // "<stem>NoHandleV".
    void Load(const QString& stem);
    void Free() { *this = THandlePictures(); }
    // Gives the part its bodies and cursors.
    void CopyTo(TIron& part) const;
};

// The handle's shift from its place at step 0, in pixels: two a step.
inline int HandleShift(int step) {
    return int(step * 40 * 0.05);
}
