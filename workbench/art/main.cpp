// artgen OUTDIR [--sheet DIR]: draws every picture and synthesises every sound of the workbench
// into OUTDIR with the art.qrc that lists them; with --sheet also writes overview pictures of
// the art into DIR. artgen --icons DIR draws the programs' icons for the desktop.
#include "Art.h"
#include "ArtWriter.h"
#include "Sheet.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--icons") == 0) {
        // The desktop's icons of the three programs: 48 and 128 pixels, and scalable.
        if (WriteDesktopIcons(QString::fromLocal8Bit(argv[2]), "org.vexilo.", {48, 128})) return 0;
        std::fprintf(stderr, "artgen: cannot write the icons into %s\n", argv[2]);
        return 1;
    }
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--sheet") == 0)) {
        std::fprintf(stderr, "usage: artgen OUTDIR [--sheet DIR]\n       artgen --icons DIR\n");
        return 2;
    }
    ArtWriter art(QString::fromLocal8Bit(argv[1]));
    DrawBench(art);
    DrawMainWindow(art);
    DrawPartsBox(art);
    DrawParts(art);
    DrawCursors(art);
    DrawToolbar(art);
    DrawMeter(art);
    DrawScope(art);
    DrawAboutPanel(art);
    MakeSounds(art);
    if (!art.Finish()) return 1;
    if (argc == 4) {
        const QString dir = QString::fromLocal8Bit(argv[3]);
        QDir().mkpath(dir);
        if (!WriteSheets(art, dir)) {
            std::fprintf(stderr, "artgen: cannot write the overview pictures into %s\n", argv[3]);
            return 1;
        }
    }
    return 0;
}
