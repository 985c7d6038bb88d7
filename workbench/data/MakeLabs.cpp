// makelabs: the ready-made lab schemes, built at build time on a board of the workbench's own
// code and written with its own scheme writer, so the files always match the program; and the
// pictures of the help, drawn from the program's own art, so the help shows what the student sees.
//
//   makelabs DIR LANGUAGE   writes into the program folder DIR
//     Labs/labN.workbench         the lab schemes
//     HELP/Labs/labN.svg          each lab's circuit diagram, laid out as on the board
//     HELP/Labs/labN-board.jpg    the board as the student sees it after opening the scheme
//     HELP/img/*.png              tool bar buttons, parts box, trash can, and two multimeters
//                                 measuring the first lab; their texts from the LANGUAGE file
//
// Every lab is solved before it is written. A lab that fails to solve, does not settle, burns a
// part or has no current through its source is not written, and makelabs ends with exit code 1.

#include "board/Frmwork.h"
#include "board/Host.h"
#include "board/Node.h"
#include "components/Battery.h"
#include "components/Blackbug.h"
#include "components/Condensator.h"
#include "components/Generator.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "components/Lamp.h"
#include "components/Protector.h"
#include "components/Resistor.h"
#include "components/Switch.h"
#include "components/Vresistor.h"
#include "document/Join.h"
#include "document/Scheme.h"
#include "instruments/Pribor.h"
#include "shell/Global.h"
#include "solver/Calculate.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace {

// --- The labs -------------------------------------------------------------------------------

// Where the label of a part goes in the diagram.
enum class TSide { Above, Below, Left, Right };

struct TLabPart {
    quint8 Kind;
    int R1, C1, R2, C2; // first node (upper or left), second node
    std::function<void(TIron*)> Set = {};
    QString Label = {}; // beside the symbol in the diagram; "\n" starts a second line
    TSide Side = TSide::Above;
    bool MeterSpot = false; // the wire the student replaces by the ammeter
    bool On = false;        // a switch is closed
};

struct TLab {
    QString Name;
    double Hertz = 0; // the generator's frequency; 0 for a direct-current lab
    std::vector<TLabPart> Parts;
};

// Numbers as Russian texts write them: a decimal comma, no trailing zeros.
QString Num(double v) {
    QString s = QString::number(v, 'g', 6);
    s.replace('.', ',');
    return s;
}
QString Volts(double v) {
    return Num(v) + " В";
}
QString Amps(double v) {
    return Num(v) + " А";
}
QString Ohms(double v) {
    return v >= 1000 ? Num(v / 1000) + " кОм" : Num(v) + " Ом";
}
QString Watts(double v) {
    return Num(v) + " Вт";
}
QString Farads(double v) {
    return Num(v * 1e6) + " мкФ";
}

TLabPart Wire(int r1, int c1, int r2, int c2) {
    return {KindWire, r1, c1, r2, c2};
}

TLabPart MeterSpot(int r1, int c1, int r2, int c2, TSide side) {
    TLabPart p{KindWire, r1, c1, r2, c2};
    p.Label = "A";
    p.Side = side;
    p.MeterSpot = true;
    return p;
}

TLabPart Battery(int r1, int c1, int r2, int c2, double emf, double internal, TSide side) {
    TLabPart p{KindBattery, r1, c1, r2, c2};
    p.Set = [=](TIron* part) {
        auto* b = static_cast<TBattery*>(part);
        b->NominalEmf = emf;
        b->NominalResistance = internal;
        b->Refill();
    };
    p.Label = "E = " + Volts(emf) + "\nr = " + Ohms(internal);
    p.Side = side;
    return p;
}

TLabPart Resistor(int r1, int c1, int r2, int c2, const QString& name, double ohms, double watts,
                  TSide side) {
    TLabPart p{KindResistor, r1, c1, r2, c2};
    p.Set = [=](TIron* part) {
        auto* r = static_cast<TResistor*>(part);
        r->SetResistance(ohms);
        r->SetMaxPower(watts);
    };
    p.Label = name + " = " + Ohms(ohms) + "\n" + Watts(watts);
    p.Side = side;
    return p;
}

TLabPart Switch(int r1, int c1, int r2, int c2, bool on, TSide side) {
    TLabPart p{KindSwitch, r1, c1, r2, c2};
    p.Set = [=](TIron* part) { static_cast<TSwitch*>(part)->SetOn(on); };
    p.Label = "S";
    p.Side = side;
    p.On = on;
    return p;
}

TLabPart Lamp(int r1, int c1, int r2, int c2, const QString& name, double volts, double amps,
              TSide side) {
    TLabPart p{KindLamp, r1, c1, r2, c2};
    p.Set = [=](TIron* part) {
        auto* l = static_cast<TLamp*>(part);
        l->SetRatedVoltage(volts);
        l->SetRatedCurrent(amps);
    };
    p.Label = name + "\n" + Volts(volts) + "\n" + Amps(amps);
    p.Side = side;
    return p;
}

TLabPart Fuse(int r1, int c1, int r2, int c2, double amps, TSide side) {
    TLabPart p{KindProtector, r1, c1, r2, c2};
    p.Set = [=](TIron* part) { static_cast<TProtector*>(part)->SetMaxCurrent(amps); };
    p.Label = "F\n" + Amps(amps);
    p.Side = side;
    return p;
}

TLabPart Generator(int r1, int c1, int r2, int c2, double volts, double hertz, TSide side) {
    TLabPart p{KindGenerator, r1, c1, r2, c2};
    p.Set = [=](TIron* part) { part->SetEmf(volts); };
    p.Label = "U = " + Volts(volts) + "\nf = " + Num(hertz) + " Гц";
    p.Side = side;
    return p;
}

TLabPart Capacitor(int r1, int c1, int r2, int c2, double farads, double maxVolts, TSide side) {
    TLabPart p{KindCondensator, r1, c1, r2, c2};
    p.Set = [=](TIron* part) {
        auto* c = static_cast<TCondensator*>(part);
        c->SetCapacitance(farads);
        c->SetMaxVoltage(maxVolts);
    };
    p.Label = "C = " + Farads(farads) + "\n" + Volts(maxVolts);
    p.Side = side;
    return p;
}

TLabPart Rheostat(int r1, int c1, int r2, int c2, const QString& name, double fullScale, int step,
                  TSide side) {
    TLabPart p{KindVResistor, r1, c1, r2, c2};
    p.Set = [=](TIron* part) {
        auto* v = static_cast<TVResistor*>(part);
        v->SetMaxResistance(fullScale);
        v->SetHandlePosition(step);
    };
    p.Label = name + " = 0…" + Ohms(fullScale);
    p.Side = side;
    return p;
}

// A black box with a content chosen for the lab (the parts box draws one at random).
TLabPart BlackBox(int r1, int c1, int r2, int c2, const QString& name, int variant,
                  double resistance, double emf, TSide side) {
    TLabPart p{KindBlackBug, r1, c1, r2, c2};
    p.Set = [=](TIron* part) {
        auto* box = static_cast<TBlackBug*>(part);
        box->SetVariant(variant);
        box->SetResistance(resistance);
        box->SetEmf(emf);
    };
    p.Label = name;
    p.Side = side;
    return p;
}

// In every direct-current lab the battery stands on the left with its plus terminal (the lower
// node) at the bottom, and the ammeter's place is the wire that leaves the plus terminal to the
// right: the red lead goes on the battery's node, the black one on the next node.
std::vector<TLab> Labs() {
    using S = TSide;
    std::vector<TLab> labs;

    // 1. Ohm's law: one resistor on a battery, the ammeter's place at the bottom.
    labs.push_back({"lab1",
                    0,
                    {
                        Battery(2, 2, 3, 2, 4.5, 0.5, S::Left),
                        Wire(2, 2, 2, 3),
                        Wire(2, 3, 2, 4),
                        Resistor(2, 4, 3, 4, "R", 100, 0.5, S::Right),
                        MeterSpot(3, 2, 3, 3, S::Below),
                        Wire(3, 3, 3, 4),
                    }});

    // 2. R1 in series with R2 parallel to R3; a switch to take the battery off for the ohmmeter;
    // the ammeter's places in the common line and in each parallel branch.
    labs.push_back({"lab2",
                    0,
                    {
                        Wire(2, 1, 3, 1),
                        Battery(3, 1, 4, 1, 9, 0.5, S::Left),
                        Wire(2, 1, 2, 2),
                        Resistor(2, 2, 2, 3, "R1", 100, 0.5, S::Above),
                        Wire(2, 3, 2, 4),
                        Wire(2, 4, 2, 5),
                        Resistor(2, 4, 3, 4, "R2", 200, 0.5, S::Left),
                        Resistor(2, 5, 3, 5, "R3", 300, 0.5, S::Right),
                        MeterSpot(3, 4, 4, 4, S::Left),
                        MeterSpot(3, 5, 4, 5, S::Right),
                        MeterSpot(4, 1, 4, 2, S::Below),
                        Switch(4, 2, 4, 3, true, S::Below),
                        Wire(4, 3, 4, 4),
                        Wire(4, 4, 4, 5),
                    }});

    // 3. Internal resistance: a worn battery on a load through a switch.
    labs.push_back({"lab3",
                    0,
                    {
                        Battery(2, 2, 3, 2, 4.5, 3, S::Left),
                        Switch(2, 2, 2, 3, true, S::Above),
                        Wire(2, 3, 2, 4),
                        Resistor(2, 4, 3, 4, "R", 27, 2, S::Right),
                        MeterSpot(3, 2, 3, 3, S::Below),
                        Wire(3, 3, 3, 4),
                    }});

    // 4. A lamp behind a fuse; a second lamp waits behind an open switch. Together they draw
    // more than the fuse allows.
    labs.push_back({"lab4",
                    0,
                    {
                        Battery(2, 1, 3, 1, 6, 0.4, S::Left),
                        Fuse(2, 1, 2, 2, 0.5, S::Above),
                        Wire(2, 2, 2, 3),
                        Lamp(2, 3, 3, 3, "L1", 6.3, 0.3, S::Right),
                        Switch(2, 3, 2, 4, false, S::Above),
                        Wire(2, 4, 2, 5),
                        Lamp(2, 5, 3, 5, "L2", 6.3, 0.3, S::Right),
                        MeterSpot(3, 1, 3, 2, S::Below),
                        Wire(3, 2, 3, 3),
                        Wire(3, 3, 3, 4),
                        Wire(3, 4, 3, 5),
                    }});

    // 5. A resistor and a capacitor in series on the generator.
    labs.push_back({"lab5",
                    50,
                    {
                        Generator(2, 2, 3, 2, 10, 50, S::Left),
                        Resistor(2, 2, 2, 3, "R", 1000, 0.5, S::Above),
                        Wire(2, 3, 2, 4),
                        Capacitor(2, 4, 3, 4, 1e-6, 50, S::Right),
                        Wire(3, 2, 3, 3),
                        Wire(3, 3, 3, 4),
                    }});

    // 6. A dimmer: a rheostat in series with a lamp; the slider starts half way.
    labs.push_back({"lab6",
                    0,
                    {
                        Battery(2, 2, 3, 2, 4.5, 1, S::Left),
                        Rheostat(2, 2, 2, 3, "Rп", 50, 10, S::Above),
                        Wire(2, 3, 2, 4),
                        Lamp(2, 4, 3, 4, "L", 3.5, 0.28, S::Right),
                        MeterSpot(3, 2, 3, 3, S::Below),
                        Wire(3, 3, 3, 4),
                    }});

    // 7. Two black boxes in one loop: one holds a battery, the other a resistor.
    labs.push_back({"lab7",
                    0,
                    {
                        BlackBox(2, 2, 3, 2, "A", TBlackBug::Battery, 12, 6.8, S::Left),
                        Wire(2, 2, 2, 3),
                        Wire(2, 3, 2, 4),
                        BlackBox(2, 4, 3, 4, "B", TBlackBug::Resistor, 470, 0, S::Right),
                        MeterSpot(3, 2, 3, 3, S::Below),
                        Wire(3, 3, 3, 4),
                    }});
    return labs;
}

// --- The diagram ----------------------------------------------------------------------------

// Board pixels: node (r, c) lies at (64c + 32, 64r + 32), as on the board.
QPointF NodePoint(int r, int c) {
    return {64.0 * c + 32, 64.0 * r + 32};
}

QString F(double v) {
    return QString::number(v, 'f', 1);
}

const char* const Ink = "#1d2b36";
const char* const Accent = "#c0561b";

// The symbol of a part in its own frame: the edge runs along u from 0 to 64, v across it.
QString Symbol(const TLabPart& p) {
    const QString line = "<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"/>";
    auto L = [&](double u1, double v1, double u2, double v2) {
        return line.arg(F(u1), F(v1), F(u2), F(v2));
    };
    auto leads = [&](double a, double b) { return L(0, 0, a, 0) + L(b, 0, 64, 0); };
    switch (p.Kind) {
    case KindWire:
        if (p.MeterSpot)
            return QString("<line x1=\"0\" y1=\"0\" x2=\"64\" y2=\"0\" stroke=\"%1\" "
                           "stroke-dasharray=\"5 4\"/>")
                .arg(Accent);
        return L(0, 0, 64, 0);
    case KindResistor:
        return leads(18, 46) + "<rect x=\"18\" y=\"-6\" width=\"28\" height=\"12\" fill=\"#fff\"/>";
    case KindProtector:
        return leads(18, 46) +
               "<rect x=\"18\" y=\"-6\" width=\"28\" height=\"12\" fill=\"#fff\"/>" +
               L(18, 0, 46, 0);
    case KindLamp:
        return leads(22, 42) + "<circle cx=\"32\" cy=\"0\" r=\"10\" fill=\"#fff\"/>" +
               L(24.9, -7.1, 39.1, 7.1) + L(24.9, 7.1, 39.1, -7.1);
    case KindBattery:
        // The long thin plate is the plus terminal: the second node (the labs reverse none).
        return leads(29, 35) + L(35, -13, 35, 13) +
               "<line x1=\"29\" y1=\"-7\" x2=\"29\" y2=\"7\" stroke-width=\"5\"/>";
    case KindGenerator:
        return leads(20, 44) + "<circle cx=\"32\" cy=\"0\" r=\"12\" fill=\"#fff\"/>";
    case KindCondensator:
        return leads(29, 35) + "<g stroke-width=\"3\">" + L(29, -12, 29, 12) + L(35, -12, 35, 12) +
               "</g>";
    case KindInductance:
        return leads(14, 50) + "<path d=\"M14,0 a4.5,4.5 0 0 1 9,0 a4.5,4.5 0 0 1 9,0 a4.5,4.5 0 0 "
                               "1 9,0 a4.5,4.5 0 0 1 9,0\" fill=\"none\"/>";
    case KindVResistor: // a resistor crossed by the arrow of adjustment
        return leads(18, 46) +
               "<rect x=\"18\" y=\"-6\" width=\"28\" height=\"12\" fill=\"#fff\"/>" +
               L(20, 11, 44, -11) + L(44, -11, 38.5, -10.2) + L(44, -11, 41.5, -5.8);
    case KindBlackBug: // a sealed box: what is inside is to be found
        return leads(16, 48) +
               "<rect x=\"16\" y=\"-10\" width=\"32\" height=\"20\" fill=\"#1d2b36\"/>";
    case KindSwitch:
        return QString(); // drawn with its state in Diagram
    default:
        return leads(18, 46) + "<rect x=\"18\" y=\"-6\" width=\"28\" height=\"12\" fill=\"#fff\"/>";
    }
}

// The approximate width of a text in the diagram's font, for fitting the picture around it.
double TextWidth(const QString& s) {
    return 7.4 * s.size();
}

QString Escape(const QString& s) {
    return s.toHtmlEscaped();
}

QString Diagram(const TLab& lab) {
    // The picture covers the nodes in use and the labels around them.
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    auto grow = [&](double x1, double y1, double x2, double y2) {
        left = std::min(left, x1);
        top = std::min(top, y1);
        right = std::max(right, x2);
        bottom = std::max(bottom, y2);
    };
    QString body, labels, nodes;
    QList<QPoint> used;
    for (const TLabPart& p : lab.Parts) {
        const QPointF a = NodePoint(p.R1, p.C1), b = NodePoint(p.R2, p.C2);
        grow(a.x() - 20, a.y() - 20, a.x() + 20, a.y() + 20);
        grow(b.x() - 20, b.y() - 20, b.x() + 20, b.y() + 20);
        for (QPoint n : {QPoint(p.C1, p.R1), QPoint(p.C2, p.R2)})
            if (!used.contains(n)) used << n;
        const bool vertical = p.C1 == p.C2;
        const QString frame = vertical
                                  ? QString("translate(%1,%2) rotate(90)").arg(F(a.x()), F(a.y()))
                                  : QString("translate(%1,%2)").arg(F(a.x()), F(a.y()));
        QString symbol;
        if (p.Kind == KindSwitch) {
            // The knife: hinged at the first contact, lying on the second when closed.
            symbol = "<line x1=\"0\" y1=\"0\" x2=\"20\" y2=\"0\"/><line x1=\"44\" y1=\"0\" "
                     "x2=\"64\" y2=\"0\"/>" +
                     QString(p.On ? "<line x1=\"20\" y1=\"0\" x2=\"44\" y2=\"0\"/>"
                                  : "<line x1=\"20\" y1=\"0\" x2=\"42\" y2=\"-13\"/>") +
                     "<circle cx=\"20\" cy=\"0\" r=\"2.5\" fill=\"#fff\"/><circle cx=\"44\" "
                     "cy=\"0\" r=\"2.5\" fill=\"#fff\"/>";
        } else {
            symbol = Symbol(p);
        }
        body += QString("<g transform=\"%1\">%2</g>\n").arg(frame, symbol);

        const QPointF mid = (a + b) / 2;
        if (p.Kind == KindGenerator) // the tilde stays upright whatever the orientation
            body += QString("<path d=\"M%1,%2 c3,-6 6,-6 8,0 s5,6 8,0\" fill=\"none\"/>\n")
                        .arg(F(mid.x() - 8), F(mid.y()));
        if (p.Kind == KindBlackBug) // the question mark stays upright whatever the orientation
            labels += QString("<text x=\"%1\" y=\"%2\" class=\"box\">?</text>\n")
                          .arg(F(mid.x()), F(mid.y() + 6));
        if (p.Kind == KindBattery) { // the plus sign beside the long plate
            const QPointF plus = vertical ? QPointF(mid.x() + 14, mid.y() + 14)
                                          : QPointF(mid.x() + 14, mid.y() - 12);
            labels += QString("<text x=\"%1\" y=\"%2\" class=\"sign\">+</text>\n")
                          .arg(F(plus.x()), F(plus.y() + 5));
        }

        if (p.Label.isEmpty()) continue;
        const QStringList lines = p.Label.split('\n');
        const double lineHeight = 16;
        double w = 0;
        for (const QString& s : lines)
            w = std::max(w, TextWidth(s));
        const double h = lineHeight * lines.size();
        if (p.MeterSpot) {
            // An ammeter's circle beside the dashed wire.
            QPointF c = mid;
            switch (p.Side) {
            case TSide::Above:
                c.ry() -= 20;
                break;
            case TSide::Below:
                c.ry() += 20;
                break;
            case TSide::Left:
                c.rx() -= 20;
                break;
            case TSide::Right:
                c.rx() += 20;
                break;
            }
            labels += QString("<g class=\"meter\"><circle cx=\"%1\" cy=\"%2\" r=\"10\"/>"
                              "<text x=\"%1\" y=\"%3\">A</text></g>\n")
                          .arg(F(c.x()), F(c.y()), F(c.y() + 5));
            grow(c.x() - 12, c.y() - 12, c.x() + 12, c.y() + 12);
            continue;
        }
        double x = mid.x(), y = 0;
        QString anchor = "middle";
        switch (p.Side) {
        case TSide::Above:
            y = mid.y() - 16 - h + lineHeight;
            grow(x - w / 2, y - 13, x + w / 2, mid.y());
            break;
        case TSide::Below:
            y = mid.y() + 28;
            grow(x - w / 2, mid.y(), x + w / 2, y + h);
            break;
        case TSide::Left:
            x = mid.x() - 20;
            anchor = "end";
            y = mid.y() - h / 2 + 12;
            grow(x - w, y - 13, mid.x(), y + h);
            break;
        case TSide::Right:
            x = mid.x() + 20;
            anchor = "start";
            y = mid.y() - h / 2 + 12;
            grow(mid.x(), y - 13, x + w, y + h);
            break;
        }
        labels += QString("<text x=\"%1\" y=\"%2\" text-anchor=\"%3\">").arg(F(x), F(y), anchor);
        for (int i = 0; i < lines.size(); ++i)
            labels += QString("<tspan x=\"%1\" dy=\"%2\">%3</tspan>")
                          .arg(F(x), i ? QString::number(lineHeight) : "0", Escape(lines[i]));
        labels += "</text>\n";
    }
    // The lattice around the circuit, faint, and the nodes in use as terminals.
    QString lattice;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            const QPointF n = NodePoint(r, c);
            if (n.x() < left - 8 || n.x() > right + 8 || n.y() < top - 8 || n.y() > bottom + 8)
                continue;
            if (used.contains(QPoint(c, r)))
                nodes += QString("<circle cx=\"%1\" cy=\"%2\" r=\"3.2\"/>").arg(F(n.x()), F(n.y()));
            else
                lattice +=
                    QString("<circle cx=\"%1\" cy=\"%2\" r=\"2.2\"/>").arg(F(n.x()), F(n.y()));
        }
    const double margin = 10;
    left -= margin;
    top -= margin;
    right += margin;
    bottom += margin;
    const double width = right - left, height = bottom - top;
    const double scale = 1.3; // the help shows the diagram somewhat larger than the board's pixels
    return QString(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"%1 %2 %3 %4\" width=\"%5\" "
               "height=\"%6\">\n"
               "<style>\n"
               "text{font-family:'DejaVu Sans',Verdana,Arial,sans-serif;font-size:13px;fill:%7}\n"
               ".sign{font-size:16px;font-weight:bold;text-anchor:middle}\n"
               ".box{font-size:16px;font-weight:bold;text-anchor:middle;fill:#fff}\n"
               ".meter circle{fill:#fff;stroke:%8;stroke-width:1.6}\n"
               ".meter text{fill:%8;font-weight:bold;text-anchor:middle;font-size:12px}\n"
               "</style>\n"
               "<g fill=\"#c9d3da\">%9</g>\n"
               "<g stroke=\"%7\" stroke-width=\"2\" stroke-linecap=\"round\" "
               "fill=\"none\">\n%10</g>\n"
               "<g fill=\"%7\">%11</g>\n"
               "%12"
               "</svg>\n")
        .arg(F(left), F(top), F(width), F(height), F(width * scale), F(height * scale), Ink, Accent)
        .arg(lattice, body, nodes, labels);
}

// --- Building, checking, writing ------------------------------------------------------------

bool WriteText(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QTextStream(&file) << text;
    return file.error() == QFile::NoError;
}

// The board as the student sees it after opening the scheme (once it has been solved).
bool WriteBoardPicture(const QString& path) {
    QImage image(Framework->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    Framework->render(&image);
    return image.save(path, "JPG", 88);
}

QStringList Failures; // what the solver told the student

bool Build(const TLab& lab, const QDir& out) {
    ClearBoard();
    Failures.clear();
    for (const TLabPart& p : lab.Parts) {
        TIron* part = CreatePart(p.Kind);
        if (!part) {
            std::fprintf(stderr, "makelabs: %s: no part of kind %d\n", qPrintable(lab.Name),
                         p.Kind);
            return false;
        }
        if (p.Set) p.Set(part);
        part->ConnectNodes((*Framework)(p.R1, p.C1), (*Framework)(p.R2, p.C2));
        part->show();
    }
    if (lab.Hertz > 0)
        for (TIron* part : Parts)
            if (part->Kind == KindGenerator) part->SetFrequency(2 * std::numbers::pi * lab.Hertz);

    NotifyCircuitChanged();
    const bool settled = Framework->SolveWhileChanged();
    QStringList faults = Failures;
    if (!settled) faults << "the circuit did not settle";
    if (Solver::LastSolve.Failed) faults << "the solve failed";
    double sourceCurrent = 0;
    for (TIron* part : Parts) {
        if (part->Burnt) faults << QString("a part of kind %1 burnt").arg(part->Kind);
        if (part->StateShowsEmf()) // a battery, a generator, or a black box that holds one
            sourceCurrent = std::max(sourceCurrent, std::abs(part->Current));
    }
    if (sourceCurrent < 1e-4) faults << "no current through the source";
    if (!faults.isEmpty()) {
        std::fprintf(stderr, "makelabs: %s: %s\n", qPrintable(lab.Name),
                     qPrintable(faults.join("; ")));
        return false;
    }

    QString error;
    const QString scheme = out.filePath("Labs/" + lab.Name + ".workbench");
    if (!SaveScheme(scheme, &error)) {
        std::fprintf(stderr, "makelabs: cannot write %s: %s\n", qPrintable(scheme),
                     qPrintable(error));
        return false;
    }
    const QString svg = out.filePath("HELP/Labs/" + lab.Name + ".svg");
    if (!WriteText(svg, Diagram(lab))) {
        std::fprintf(stderr, "makelabs: cannot write %s\n", qPrintable(svg));
        return false;
    }
    const QString jpg = out.filePath("HELP/Labs/" + lab.Name + "-board.jpg");
    if (!WriteBoardPicture(jpg)) {
        std::fprintf(stderr, "makelabs: cannot write %s\n", qPrintable(jpg));
        return false;
    }
    return true;
}

// --- The help's pictures ----------------------------------------------------------------------

bool SavePicture(const QImage& image, const QDir& out, const QString& name) {
    const QString path = out.filePath("HELP/img/" + name + ".png");
    if (!image.isNull() && image.save(path)) return true;
    std::fprintf(stderr, "makelabs: cannot write %s\n", qPrintable(path));
    return false;
}

// The tool bar buttons (the first of the four glyphs of each strip), the parts box pictures as
// they look while pressed, and the trash can.
bool WriteArt(const QDir& out) {
    static const char* const buttons[] = {
        "ReadFile",     "WriteFile", "DeleteAll",     "Multimeter", "Oscillograph",
        "FloatControl", "IronState", "HelpReference", "HelpLabs",   "Help",
        "Options",      "Calc",      "About",         "Exit"};
    static const char* const box[] = {"Resistor",  "Protector",   "Condensator", "Inductance",
                                      "Wire",      "Switch",      "Battery",     "Generator",
                                      "Lamp",      "Heater",      "Conductor",   "BlackBug",
                                      "VResistor", "VCondensator"};
    bool ok = true;
    for (const char* b : buttons) {
        const QImage strip = LoadTransparentBitmap(QString("bmpBtn") + b);
        ok &= SavePicture(strip.copy(0, 0, strip.width() / 4, strip.height()), out,
                          QString("btn") + b);
    }
    for (const char* kind : box)
        ok &= SavePicture(LoadTransparentBitmap(QString("bmp") + kind + "BoxOpened"), out,
                          QString("box") + kind);
    ok &= SavePicture(LoadTransparentBitmap("bmpTrashcan"), out, "trashcan");
    return ok;
}

// The first lab measured with two multimeters, as the help's guide to the meter describes it:
// meter 1 across the resistor on 20 V, meter 2 in place of the ammeter's wire on 200 mA.
bool WriteMeterScene(const QDir& out) {
    ClearBoard();
    QWidget scene;
    scene.resize(800, 490);
    QPalette palette;
    palette.setBrush(QPalette::Window, QBrush(LoadJpegResource("jpgBackground")));
    scene.setPalette(palette);
    scene.setAutoFillBackground(true);
    QWidget* const home = Framework->parentWidget(); // the board goes back there at the end
    Framework->setParent(&scene);
    Framework->move(176, 21);
    Framework->show();

    const TLab lab = Labs().front();
    for (const TLabPart& p : lab.Parts) {
        if (p.MeterSpot) continue; // the ammeter takes the wire's place
        TIron* part = CreatePart(p.Kind);
        if (p.Set) p.Set(part);
        part->ConnectNodes((*Framework)(p.R1, p.C1), (*Framework)(p.R2, p.C2));
        part->show();
    }
    scene.show();
    TPriborPanel* volts = ShowNewMultimeter(&scene, 40);
    TPriborPanel* amps = ShowNewMultimeter(&scene, 40);
    if (!volts || !amps) {
        std::fprintf(stderr, "makelabs: no multimeter for the help's picture\n");
        return false;
    }
    volts->move(636, 40);
    amps->move(10, 40);
    volts->Element()->ConnectNodes((*Framework)(3, 4),
                                   (*Framework)(2, 4)); // red below the resistor
    amps->Element()->ConnectNodes((*Framework)(3, 2),
                                  (*Framework)(3, 3)); // red on the battery's plus
    volts->SwitchTo(17);                               // V, 20
    amps->SwitchTo(5);                                 // mA, 200
    NotifyCircuitChanged();
    Framework->SolveWhileChanged();
    QCoreApplication::processEvents();

    // Both meters read the circuit within their ranges: digits, no overload sign.
    bool ok = Failures.isEmpty();
    for (TPriborPanel* meter : {volts, amps}) {
        const QString shown = meter->Display.Text();
        if (shown.trimmed().isEmpty() || shown.startsWith('-')) {
            std::fprintf(stderr, "makelabs: meter %d reads the first lab as [%s]\n",
                         meter->Slot() + 1, qPrintable(shown));
            ok = false;
        }
    }
    ok &= SavePicture(scene.grab().toImage(), out, "meters");
    ok &= SavePicture(volts->grab().toImage(), out, "multimeter");
    delete volts;
    delete amps;
    ClearBoard();
    Framework->setParent(home);
    return ok;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: makelabs DIR LANGUAGE\n");
        return 2;
    }
    const QDir out(args[0]);
    if (!LoadLanguageFile(args[1])) {
        std::fprintf(stderr, "makelabs: cannot read the texts of %s\n", qPrintable(args[1]));
        return 1;
    }
    if (!out.mkpath("Labs") || !out.mkpath("HELP/Labs") || !out.mkpath("HELP/img")) {
        std::fprintf(stderr, "makelabs: cannot make the folders under %s\n", qPrintable(args[0]));
        return 1;
    }

    Solver::LogPath.clear();
    SetMessageHandler([](const TMessageRequest& r) {
        Failures << r.Text;
        return int(IdOk);
    });
    SetSoundSink([](const TSoundRequest&) {});
    SetWaitHandler([](int) {});

    QWidget window;
    JoinCircuit();
    TFramework board(&window);
    RegisterPartKinds();
    TIron::ExecuteStartups();

    int status = 0;
    for (const TLab& lab : Labs())
        if (!Build(lab, out)) status = 1;
    if (!WriteArt(out) || !WriteMeterScene(out)) status = 1;
    ClearBoard();
    return status;
}
