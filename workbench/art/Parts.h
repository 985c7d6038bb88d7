#pragma once
// The parts as they lie on the board, each drawn horizontally on a 64 x 64 canvas: a part spans
// from one node centre (x = 0) to the next (x = 64), with its leads along the middle row 32,
// through both node centres. Vertical pictures are the transposed horizontal ones, so nothing on
// a part may read wrongly when mirrored across the diagonal (no lettering; a "+" is fine).
//
// The parts box draws the same painters smaller, which is why they are shared.

#include "Paint.h"

#include <QRect>

namespace parts {

constexpr int Size = 64;
// The lead line: pixel row 32, whose middle is at y = 32.5.
constexpr double Axis = 32.5;
// Where the program recolours a lamp's glow pictures: the bulb and its filament lie inside.
inline const QRect LampGlowRegion(21, 11, 22, 21); // columns 21..42, rows 11..31

enum class Glow { Off, Min, On, BurntOut };
enum class FuseState { Intact, Burning, BurntOut };

void Resistor(QPainter& p, bool burnt);
void Wire(QPainter& p);
void Conductor(QPainter& p);
void Capacitor(QPainter& p, bool burnt);
void Coil(QPainter& p);
void Battery(QPainter& p);
void Generator(QPainter& p);
void KnifeSwitch(QPainter& p, bool closed);
void Fuse(QPainter& p, FuseState state);
void Lamp(QPainter& p, Glow glow);
void Heater(QPainter& p, Glow glow);
// The variable resistor: a slide rheostat. The program draws the slider (its handle) over the
// body at x = 12 + 2 * step (steps 1..20).
inline double RheostatHandleX(int step) {
    return 12 + 2 * step;
}
constexpr int RheostatHandleWidth = 10;
void RheostatBody(QPainter& p);
void RheostatSlider(QPainter& p, double x);
void Rheostat(QPainter& p); // body and slider at step 15
// The variable capacitor: a sliding-plate trimmer; its knob slides in a slot along the top, and
// the program draws the moving plates.
constexpr int TrimmerHandleSize = 9;
void TrimmerBody(QPainter& p);
void TrimmerKnob(QPainter& p, double x, double top);
void TrimmerPlates(QPainter& p, int step);
void TuningCapacitor(QPainter& p); // body, plates and knob at step 15
void BlackBox(QPainter& p, bool questionMark);

} // namespace parts
