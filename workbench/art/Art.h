#pragma once
// The subjects artgen draws, one file each. Every function hands its finished pictures and
// sounds to the writer under the names the workbench loads them by.

#include <QString>
#include <functional>
#include <vector>

class ArtWriter;
class QPainter;

void DrawBench(ArtWriter& out);      // Bench.cpp: the bench top, the mounting board and its nodes
void DrawMainWindow(ArtWriter& out); // MainWindow.cpp: the trash can, title strip, minimize button
void DrawPartsBox(ArtWriter& out);   // PartsBox.cpp: the 14 compartments of the parts box
void DrawParts(ArtWriter& out);      // Parts.cpp: the pictures of the parts on the board
void DrawCursors(ArtWriter& out);    // Cursors.cpp: the arm, the pincers and the pointing hand
void DrawToolbar(ArtWriter& out); // Toolbar.cpp: the command buttons' glyphs, the programs' icons
void DrawMeter(
    ArtWriter& out); // Meter.cpp: the multimeter's face, knob, display and the test leads
void DrawScope(ArtWriter& out); // Scope.cpp: the oscilloscope's front, jacks, slope marks and keys
void DrawAboutPanel(ArtWriter& out); // AboutPanel.cpp: the about window's picture
void MakeSounds(ArtWriter& out);     // Sounds.cpp: every sound of the workbench

// The programs' icons, drawn on a canvas of IconUnits x IconUnits: the program's own window icon
// (a resource) and, for the desktop, PNG pictures of any size and a scalable SVG (Icons.cpp).
constexpr int IconUnits = 64;
struct ProgramIcon {
    QString Program;  // workbench, coursebook, filterdemo
    QString Resource; // its resource name
    std::function<void(QPainter&)> Paint;
};
const std::vector<ProgramIcon>& ProgramIcons(); // Toolbar.cpp
// Writes <dir>/<size>x<size>/apps/<prefix><program>.png for every size, and
// <dir>/scalable/apps/<prefix><program>.svg; false when any cannot be written.
bool WriteDesktopIcons(const QString& dir, const QString& prefix, const std::vector<int>& sizes);
