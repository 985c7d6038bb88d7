#pragma once
// The subjects artgen draws, one file each. Every function hands its finished pictures and
// sounds to the writer under the names the workbench loads them by.

class ArtWriter;

void DrawBench(ArtWriter& out);      // Bench.cpp: the bench top, the mounting board and its nodes
void DrawMainWindow(ArtWriter& out); // MainWindow.cpp: the trash can, title strip, minimize button
void DrawPartsBox(ArtWriter& out);   // PartsBox.cpp: the 14 compartments of the parts box
void DrawParts(ArtWriter& out);      // Parts.cpp: the pictures of the parts on the board
void DrawCursors(ArtWriter& out);    // Cursors.cpp: the arm, the pincers and the pointing hand
void DrawToolbar(ArtWriter& out);    // Toolbar.cpp: the command buttons' glyphs, the programs' icons
void DrawMeter(ArtWriter& out);      // Meter.cpp: the multimeter's face, knob, display and the test leads
void DrawScope(ArtWriter& out);      // Scope.cpp: the oscilloscope's front, jacks, slope marks and keys
void DrawAboutPanel(ArtWriter& out); // AboutPanel.cpp: the about window's picture
void MakeSounds(ArtWriter& out);     // Sounds.cpp: every sound of the workbench
