// Draws the oscilloscope measuring an RC circuit into PNG files, in each language: 220 V at
// 50 Hz over 33 kΩ and 0.1 µF, channel A across the generator, channel B across the capacitor,
// 100 V/div and 5 ms/div, both traces shifted to the middle.
//   scope_screenshot OUTDIR
// writes OUTDIR/scope-<language>.png (the panel, twice enlarged) for Russian, English and
// Estonian.
#include "support/Board.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "components/Condensator.h"
#include "components/Generator.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "components/Resistor.h"
#include "components/Wire.h"
#include "instruments/Oscpanel.h"
#include "instruments/Percentscroller.h"
#include "shell/Global.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTest>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: scope_screenshot OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    RegisterPartKinds();
    TIron::ExecuteStartups();

    int code = 0;
    for (const char* language : {"Russian", "English", "Estonian"}) {
        LoadLanguageFile(QString(VEXILO_SOURCE_DIR "/workbench/lang/%1.lng").arg(language));
        TBoardFixture f;
        f.Window.resize(1100, 720);
        auto* generator = new TGenerator;
        Place(generator, 2, 1, 3, 1);
        auto* resistor = new TResistor;
        resistor->SetResistance(33000);
        resistor->SetMaxPower(2);
        Place(resistor, 2, 1, 2, 2);
        auto* capacitor = new TCondensator;
        capacitor->SetCapacitance(1E-7);
        capacitor->SetMaxVoltage(400);
        Place(capacitor, 2, 2, 3, 2);
        Place(new TWire, 3, 1, 3, 2);
        f.Window.show();
        if (!QTest::qWaitForWindowExposed(&f.Window)) return 1;

        TOscillographPanel* panel = ShowNewOscilloscope(&f.Window);
        panel->move(400, 510);
        panel->ChannelA()->ConnectNodes((*f.Board)(2, 1), (*f.Board)(3, 1));
        panel->ChannelB()->ConnectNodes((*f.Board)(2, 2), (*f.Board)(3, 2));
        panel->ComboBox1->setCurrentIndex(21);
        panel->ComboBox2->setCurrentIndex(21);
        panel->ComboBox3->setCurrentIndex(23);
        panel->ShiftA->SetValue(-2);
        panel->ShiftB->SetValue(2);
        f.Board->CircuitChanged = true;
        f.Board->Tick();
        QTest::qWait(100);
        const QImage face = panel->grab().toImage();
        const QString file = out + QString("/scope-%1.png").arg(QString(language).toLower());
        if (!face.scaled(face.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                 .save(file)) {
            std::fprintf(stderr, "scope_screenshot: cannot write %s\n", qPrintable(file));
            code = 1;
        }
        delete panel;
    }
    return code;
}
