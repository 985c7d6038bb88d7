// Draws two multimeters measuring a circuit on the board into PNG files: meter 1 across a
// resistor reads its voltage, meter 2 in series reads the current.
//   multimeter_screenshot OUTDIR
// writes OUTDIR/multimeter-circuit.png (the scene), and three times enlarged: multimeter-face.png
// (meter 1 measuring), multimeter-resting.png (meter 1 with its leads in their sockets) and
// multimeter-leads.png (the leads on the circuit).
#include "support/Board.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "components/Resistor.h"
#include "components/Wire.h"
#include "instruments/Pribor.h"
#include "shell/Global.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTest>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: multimeter_screenshot OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/Russian.lng");
    RegisterPartKinds();
    TIron::ExecuteStartups();

    int code = 0;
    {
        TBoardFixture f;
        f.Window.resize(800, 490);
        f.Window.setStyleSheet("background-color: #2d2620;");
        f.Board->move(176, 21);

        // A battery, a 220 Ω resistor and wires in a square; meter 2 stands in for the wire on
        // the right, so the current flows through it.
        auto* battery = new TTestPart(0.5, 4.5, KindBattery);
        TPicturePair cell;
        cell.Load("bmpBattery");
        cell.CopyTo(*battery);
        Place(battery, 2, 1, 3, 1);
        auto* resistor = new TResistor;
        resistor->SetResistance(220);
        Place(resistor, 2, 3, 3, 3);
        Place(new TWire, 2, 1, 2, 2);
        Place(new TWire, 2, 2, 2, 3);
        Place(new TWire, 3, 1, 3, 2);

        f.Window.show();
        if (!QTest::qWaitForWindowExposed(&f.Window)) return 1;
        TPriborPanel* volts = ShowNewMultimeter(&f.Window, 40);
        TPriborPanel* amps = ShowNewMultimeter(&f.Window, 40);
        volts->move(636, 40);
        amps->move(10, 40);
        QTest::qWait(20);
        const QImage resting = volts->grab().toImage();
        volts->Element()->ConnectNodes((*f.Board)(3, 3), (*f.Board)(2, 3));
        amps->Element()->ConnectNodes((*f.Board)(3, 2), (*f.Board)(3, 3));
        volts->SwitchTo(17);
        amps->SwitchTo(5);
        f.Board->CircuitChanged = true;
        f.Board->Tick();
        QTest::qWait(50);

        const QImage scene = f.Window.grab().toImage();
        const QImage face = volts->grab().toImage();
        const QImage leads =
            f.Window.grab(QRect(f.Board->x() + 64, f.Board->y() + 96, 224, 192)).toImage();
        auto enlarged = [](const QImage& image) {
            return image.scaled(image.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        };
        if (!scene.save(out + "/multimeter-circuit.png") ||
            !enlarged(face).save(out + "/multimeter-face.png") ||
            !enlarged(resting).save(out + "/multimeter-resting.png") ||
            !enlarged(leads).save(out + "/multimeter-leads.png")) {
            std::fprintf(stderr, "multimeter_screenshot: cannot write into %s\n", argv[1]);
            code = 1;
        }
        std::printf("meter 1: [%s]  meter 2: [%s]\n", qPrintable(volts->Display.Text()),
                    qPrintable(amps->Display.Text()));
        delete volts;
        delete amps;
    }
    return code;
}
