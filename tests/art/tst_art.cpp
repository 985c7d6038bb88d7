// The workbench's pictures and sounds as the program sees them: every name it asks for loads
// through its own loaders with the size it expects; part pictures and cursors have a clear
// background and a fully transparent top-left pixel; parts meet the terminals along the middle
// row; the lamp's and heater's glow pictures can be blended as the program blends them; every
// command button has its four glyphs, each visibly different; the programs' icons fill their
// square; and the sounds are short, audible, unclipped and free of clicks at their ends.
#include "shell/Global.h"

#include <QFile>
#include <QtEndian>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {

// The raw premultiplied pixel: fully transparent pixels must be exactly 0x00000000.
QRgb Raw(const QImage& image, int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

int Luma(QRgb premultiplied) {
    return (qRed(premultiplied) * 30 + qGreen(premultiplied) * 59 + qBlue(premultiplied) * 11) /
           100;
}

// Pixels of two equally sized pictures whose raw values differ.
int Differing(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += Raw(a, x, y) != Raw(b, x, y);
    return n;
}

const QStringList PartPictures = {
    "bmpResistor",
    "bmpResistorBurntOut",
    "bmpWire",
    "bmpConductor",
    "bmpCondensator",
    "bmpCondensatorBurntOut",
    "bmpInductance",
    "bmpBattery",
    "bmpGenerator",
    "bmpSwitchOn",
    "bmpSwitchOff",
    "bmpProtector",
    "bmpProtectorBurning",
    "bmpProtectorBurntOut",
    "bmpLampOff",
    "bmpLampMin",
    "bmpLampOn",
    "bmpLampBurntOut",
    "bmpHeaterOff",
    "bmpHeaterMin",
    "bmpHeaterOn",
    "bmpHeaterBurntOut",
    "bmpVResistor",
    "bmpVResistorNoHandle",
    "bmpVCondensator",
    "bmpVCondensatorNoHandle",
    "bmpBlackBug",
};
// The variable parts' bodies of their own for the vertical orientation.
const QStringList UprightBodies = {"bmpVResistorNoHandleV", "bmpVCondensatorNoHandleV"};

const QStringList BoxStems = {
    "Resistor",  "Protector", "Condensator", "Inductance", "Wire",     "Switch",    "Battery",
    "Generator", "Lamp",      "Heater",      "Conductor",  "BlackBug", "VResistor", "VCondensator",
};

const QStringList Cursors = {"curArm", "curPincers", "curPoint"};

// The tool bar's command buttons: "bmpBtn" + the button's name without "btn".
const QStringList Buttons = {
    "ReadFile",     "WriteFile", "DeleteAll",     "Multimeter", "Oscillograph",
    "FloatControl", "IronState", "HelpReference", "HelpLabs",   "Help",
    "Options",      "Calc",      "About",         "Exit",
};
// A button's strip holds its glyphs side by side: up, disabled, pressed, down.
constexpr int GlyphSize = 44, GlyphLooks = 4;

const QStringList AppIcons = {"bmpAppIconWorkbench", "bmpAppIconCoursebook",
                              "bmpAppIconFilterdemo"};

// The mean colourfulness (largest minus smallest channel, unpremultiplied) of the opaque
// pixels, and their mean brightness.
struct Tone {
    double chroma = 0, luma = 0;
};
Tone ToneOf(const QImage& image) {
    Tone t;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = Raw(image, x, y);
            if (qAlpha(c) != 255) continue;
            t.chroma +=
                std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)});
            t.luma += Luma(c);
            ++n;
        }
    if (n) {
        t.chroma /= n;
        t.luma /= n;
    }
    return t;
}

// The smallest rectangle holding every fully opaque pixel.
QRect OpaqueBounds(const QImage& image) {
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(Raw(image, x, y)) == 255) r |= QRect(x, y, 1, 1);
    return r;
}

// The multimeter's display pictures, each with the size the display lays it out in.
const QList<QPair<QString, QSize>> MeterDisplayPictures = {
    {"Number0", {17, 29}},        {"Number1", {17, 29}},    {"Number2", {17, 29}},
    {"Number3", {17, 29}},        {"Number4", {17, 29}},    {"Number5", {17, 29}},
    {"Number6", {17, 29}},        {"Number7", {17, 29}},    {"Number8", {17, 29}},
    {"Number9", {17, 29}},        {"NumberNULL", {17, 31}}, {"Pos1Number1", {7, 27}},
    {"Pos1Number1None", {7, 29}}, {"PointBMP", {2, 3}},     {"NoPointBMP", {2, 3}},
    {"HighVolt", {12, 7}},        {"NoHighVolt", {12, 7}},  {"MinusBMP", {10, 2}},
    {"NoMinusBMP", {10, 2}},
};
// The "off" pictures and where the display puts them on the face.
const QList<QPair<QString, QPoint>> MeterOffPictures = {
    {"NumberNULL", {59, 19}},      {"NumberNULL", {82, 19}},  {"NumberNULL", {105, 19}},
    {"Pos1Number1None", {45, 19}}, {"NoPointBMP", {31, 45}},  {"NoPointBMP", {54, 45}},
    {"NoPointBMP", {77, 45}},      {"NoPointBMP", {100, 45}}, {"NoHighVolt", {29, 20}},
    {"NoMinusBMP", {30, 33}},
};
const QStringList LeadPictures = {
    "bmpTestLeadR1", "bmpTestLeadB1", "bmpTestLeadR2", "bmpTestLeadB2",
    "bmpTestLeadR3", "bmpTestLeadB3", "bmpTestLeadR4", "bmpTestLeadB4",
};

// The lamp's glow pictures are recoloured here, columns 21..42 and rows 11..31.
const QRect LampRegion(21, 11, 22, 21);

} // namespace

class TestArt : public QObject {
    Q_OBJECT

private slots:
    void bitmapsLoadWithTheirSizes_data();
    void bitmapsLoadWithTheirSizes();
    void jpegPictures();
    void fallbackBackgroundTiles();
    void boardLatticeJoinsTheNodes();
    void nodeIsCentred();
    void partsMeetTheTerminalsOnTheMiddleRow_data();
    void partsMeetTheTerminalsOnTheMiddleRow();
    void variablePartsStandUpright();
    void cursorsHotSpotLiesOnTheDrawing_data();
    void cursorsHotSpotLiesOnTheDrawing();
    void stateVariantsDiffer_data();
    void stateVariantsDiffer();
    void boxCompartmentsAreOpaqueAndOpenVisibly_data();
    void boxCompartmentsAreOpaqueAndOpenVisibly();
    void batteryShowsItsPolarity();
    void glowBrightensInOrder_data();
    void glowBrightensInOrder();
    void lampGlowsOnlyInsideItsRegion();
    void lampFilamentIsInsideTheRegion();
    void heaterGlowKeepsItsShape();
    void buttonGlyphsShowTheirLooks_data();
    void buttonGlyphsShowTheirLooks();
    void appIconsFillTheirSquare_data();
    void appIconsFillTheirSquare();
    void meterPictures_data();
    void meterPictures();
    void meterDisplaySwitchesOffWithoutATrace();
    void knobPointsAtItsPosition_data();
    void knobPointsAtItsPosition();
    void leadTipIsTheMiddle_data();
    void leadTipIsTheMiddle();
    void scopeFront();
    void scopeJackHoleUnderTheProbeTip_data();
    void scopeJackHoleUnderTheProbeTip();
    void sounds_data();
    void sounds();
};

void TestArt::bitmapsLoadWithTheirSizes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");        // an empty dimension is not fixed
    QTest::addColumn<bool>("clearCorners"); // transparent background, top-left pixel exactly 0
    for (const QString& name : PartPictures)
        QTest::newRow(qPrintable(name)) << name << QSize(64, 64) << true;
    for (const QString& stem : BoxStems)
        for (const char* state : {"BoxClosed", "BoxOpened"}) {
            const QString name = "bmp" + stem + state;
            QTest::newRow(qPrintable(name)) << name << QSize(56, 57) << false;
        }
    for (const QString& name : UprightBodies)
        QTest::newRow(qPrintable(name)) << name << QSize(64, 64) << true;
    QTest::newRow("bmpVResistorHandle") << "bmpVResistorHandle" << QSize(10, 64) << true;
    QTest::newRow("bmpVCondensatorHandle") << "bmpVCondensatorHandle" << QSize(9, 9) << false;
    for (const QString& name : Cursors)
        QTest::newRow(qPrintable(name)) << name << QSize(32, 32) << true;
    QTest::newRow("bmpNode") << "bmpNode" << QSize(19, 19) << true;
    QTest::newRow("bmpTrashcan") << "bmpTrashcan" << QSize(72, 84) << true;
    QTest::newRow("bmpBackground") << "bmpBackground" << QSize(256, 256) << false;
    QTest::newRow("bmpMinimize") << "bmpMinimize" << QSize(17, 17) << true;
    QTest::newRow("bmpTitleBackground") << "bmpTitleBackground" << QSize(0, 33) << false;
    QTest::newRow("bmpToolBar") << "bmpToolBar" << QSize(112, 0) << false;
    for (const QString& button : Buttons)
        QTest::newRow(qPrintable("bmpBtn" + button))
            << "bmpBtn" + button << QSize(GlyphSize * GlyphLooks, GlyphSize) << true;
    for (const QString& name : AppIcons)
        QTest::newRow(qPrintable(name)) << name << QSize(64, 64) << true;
    for (const QString& name : LeadPictures)
        QTest::newRow(qPrintable(name)) << name << QSize(32, 32) << true;
    QTest::newRow("bmpMask") << "bmpMask" << QSize(98, 98) << false;
    for (const auto& [name, size] : MeterDisplayPictures)
        QTest::newRow(qPrintable(name)) << name << size << false;
    for (const char* jack :
         {"bmpScopeJackRedA", "bmpScopeJackComA", "bmpScopeJackRedB", "bmpScopeJackComB"})
        QTest::newRow(jack) << jack << QSize(20, 20) << true;
    for (const char* mark : {"bmpScopeSlopeRise", "bmpScopeSlopeFall"})
        QTest::newRow(mark) << mark << QSize(10, 10) << false;
    for (const char* key : {"bmpScopeKeyUp", "bmpScopeKeyDown"})
        QTest::newRow(key) << key << QSize(46, 18) << false;
    QTest::newRow("bmpScopeListArrow") << "bmpScopeListArrow" << QSize(7, 4) << false;
}

void TestArt::bitmapsLoadWithTheirSizes() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(bool, clearCorners);
    QVERIFY(HasBitmapResource(name));
    const QImage image = LoadTransparentBitmap(name);
    if (size.width()) QCOMPARE(image.width(), size.width());
    if (size.height()) QCOMPARE(image.height(), size.height());
    QVERIFY(image.width() > 0 && image.height() > 0);
    if (!clearCorners) return;
    const int r = image.width() - 1, b = image.height() - 1;
    QCOMPARE(Raw(image, 0, 0), QRgb(0));
    QCOMPARE(Raw(image, r, 0), QRgb(0));
    QCOMPARE(Raw(image, 0, b), QRgb(0));
    QCOMPARE(Raw(image, r, b), QRgb(0));
    // The cursor made from it has the same clear colour as the picture's background.
    QVERIFY(!BitmapToCursor(image).pixmap().isNull());
}

void TestArt::jpegPictures() {
    const QImage board = LoadJpegResource("jpgBoard");
    QCOMPARE(board.size(), QSize(448, 448));
    const QImage background = LoadJpegResource("jpgBackground");
    QVERIFY(!background.isNull());
    // The window shows a screen-sized piece of it at a random offset.
    QVERIFY2(background.width() > 1280 && background.height() > 800,
             qPrintable(QString("%1x%2").arg(background.width()).arg(background.height())));
    // The about window shows it one row shorter; its text window at (28, 195), 285 x 187, is
    // the grey-green the window paints the scrolling text on.
    const QImage about = LoadJpegResource("jpgAbout");
    QCOMPARE(about.size(), QSize(338, 409));
    for (const QPoint& p :
         {QPoint(30, 197), QPoint(310, 197), QPoint(30, 379), QPoint(310, 379), QPoint(170, 288)}) {
        const QColor c = about.pixelColor(p);
        QVERIFY2(std::abs(c.red() - 160) <= 6 && std::abs(c.green() - 167) <= 6 &&
                     std::abs(c.blue() - 160) <= 6,
                 qPrintable(QString("(%1, %2): %3").arg(p.x()).arg(p.y()).arg(c.name())));
    }
}

void TestArt::fallbackBackgroundTiles() {
    // Copies side by side must not show a seam: the step from the last column back to the first
    // is no larger than an ordinary step between neighbouring columns.
    const QImage tile = LoadTransparentBitmap("bmpBackground");
    const int w = tile.width(), h = tile.height();
    double wrap = 0, inside = 0;
    for (int y = 0; y < h; ++y) {
        wrap += std::abs(Luma(Raw(tile, w - 1, y)) - Luma(Raw(tile, 0, y)));
        for (int x = 0; x + 1 < w; ++x)
            inside += std::abs(Luma(Raw(tile, x, y)) - Luma(Raw(tile, x + 1, y)));
    }
    wrap /= h;
    inside /= double(h) * (w - 1);
    QVERIFY2(wrap <= 2 * inside + 1,
             qPrintable(QString("wrap %1, inside %2").arg(wrap).arg(inside)));
    for (int y = 0; y < h; ++y)
        QCOMPARE(qAlpha(Raw(tile, 0, y)), 255);
}

void TestArt::boardLatticeJoinsTheNodes() {
    // The printed lines run through the node centres (64c + 32, 64r + 32): half way between two
    // nodes the line is brighter than the plate a few pixels beside it.
    const QImage board = LoadJpegResource("jpgBoard");
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 6; ++c) {
            const int x = 64 * c + 32 + 20, y = 64 * r + 32;
            const int on = Luma(board.pixel(x, y)), off = Luma(board.pixel(x, y + 5));
            QVERIFY2(
                on > off + 25,
                qPrintable(QString("row %1, between columns %2 and %3").arg(r).arg(c).arg(c + 1)));
            const int onV = Luma(board.pixel(y, x)), offV = Luma(board.pixel(y + 5, x));
            QVERIFY2(
                onV > offV + 25,
                qPrintable(QString("column %1, between rows %2 and %3").arg(r).arg(c).arg(c + 1)));
        }
}

void TestArt::nodeIsCentred() {
    // The board draws the node at (centre - w div 2, centre - h div 2): an odd size with the
    // terminal's weight in the middle puts the screw exactly on the node.
    const QImage node = LoadTransparentBitmap("bmpNode");
    QVERIFY(node.width() % 2 == 1 && node.height() % 2 == 1);
    double sx = 0, sy = 0, sum = 0;
    for (int y = 0; y < node.height(); ++y)
        for (int x = 0; x < node.width(); ++x) {
            const int a = qAlpha(Raw(node, x, y));
            sx += a * (x + 0.5);
            sy += a * (y + 0.5);
            sum += a;
        }
    QVERIFY(sum > 0);
    QVERIFY(std::abs(sx / sum - node.width() / 2.0) < 1.0);
    QVERIFY(std::abs(sy / sum - node.height() / 2.0) < 1.0);
    QCOMPARE(qAlpha(Raw(node, node.width() / 2, node.height() / 2)), 255);
}

void TestArt::partsMeetTheTerminalsOnTheMiddleRow_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : PartPictures)
        QTest::newRow(qPrintable(name)) << name;
}

void TestArt::partsMeetTheTerminalsOnTheMiddleRow() {
    // A part lies from one node centre (x = 0) to the next (x = 64) with the nodes on row 32:
    // six pixels from either node only the thin lead (and its faint shadow) runs along that
    // row, onto the terminal's screw, and nothing solid covers the screw's middle.
    QFETCH(QString, name);
    const QImage part = LoadTransparentBitmap(name);
    for (int x : {6, 58}) {
        QCOMPARE(qAlpha(Raw(part, x, 32)), 255);
        QVERIFY(qAlpha(Raw(part, x, 28)) < 64);
        QVERIFY(qAlpha(Raw(part, x, 37)) < 64);
    }
    for (int y = 0; y < part.height(); ++y)
        for (int x : {0, 1, 2, 62, 63})
            QVERIFY(qAlpha(Raw(part, x, y)) < 255);
}

void TestArt::variablePartsStandUpright() {
    // Upright, a variable part spans from the lower node (its value's low end) to the upper one,
    // along the middle column, as the other parts' transposed pictures do.
    for (const QString& name : UprightBodies) {
        const QImage part = LoadTransparentBitmap(name);
        for (int y : {6, 58}) {
            QCOMPARE(qAlpha(Raw(part, 32, y)), 255);
            QVERIFY(qAlpha(Raw(part, 28, y)) < 64);
            QVERIFY(qAlpha(Raw(part, 37, y)) < 64);
        }
    }
    // The handles are solid across their middle, where the program centres them.
    const QImage slider = LoadTransparentBitmap("bmpVResistorHandle");
    QCOMPARE(qAlpha(Raw(slider, 5, 20)), 255);
    const QImage knob = LoadTransparentBitmap("bmpVCondensatorHandle");
    QCOMPARE(qAlpha(Raw(knob, 4, 4)), 255);
    // The body alone is the whole part without its handle.
    QVERIFY(Differing(LoadTransparentBitmap("bmpVResistor"),
                      LoadTransparentBitmap("bmpVResistorNoHandle")) > 40);
}

void TestArt::cursorsHotSpotLiesOnTheDrawing_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : Cursors)
        QTest::newRow(qPrintable(name)) << name;
}

void TestArt::cursorsHotSpotLiesOnTheDrawing() {
    // The hot spot is the picture's centre; it must fall on the drawn tool, not on empty space.
    QFETCH(QString, name);
    const QImage cursor = LoadTransparentBitmap(name);
    QCOMPARE(qAlpha(Raw(cursor, 16, 16)), 255);
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            opaque += qAlpha(Raw(cursor, x, y)) == 255;
    QVERIFY2(opaque > 60 && opaque < 32 * 32 / 2, qPrintable(QString::number(opaque)));
}

void TestArt::stateVariantsDiffer_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("resistor burnt") << "bmpResistor"
                                    << "bmpResistorBurntOut";
    QTest::newRow("capacitor burnt") << "bmpCondensator"
                                     << "bmpCondensatorBurntOut";
    QTest::newRow("switch") << "bmpSwitchOff"
                            << "bmpSwitchOn";
    QTest::newRow("fuse burning") << "bmpProtector"
                                  << "bmpProtectorBurning";
    QTest::newRow("fuse blown") << "bmpProtector"
                                << "bmpProtectorBurntOut";
    QTest::newRow("fuse burning, blown") << "bmpProtectorBurning"
                                         << "bmpProtectorBurntOut";
    QTest::newRow("lamp burnt") << "bmpLampOff"
                                << "bmpLampBurntOut";
    QTest::newRow("heater burnt") << "bmpHeaterOff"
                                  << "bmpHeaterBurntOut";
    QTest::newRow("lamp min") << "bmpLampOff"
                              << "bmpLampMin";
    QTest::newRow("lamp on") << "bmpLampMin"
                             << "bmpLampOn";
    QTest::newRow("heater min") << "bmpHeaterOff"
                                << "bmpHeaterMin";
    QTest::newRow("heater on") << "bmpHeaterMin"
                               << "bmpHeaterOn";
}

void TestArt::stateVariantsDiffer() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    const QImage a = LoadTransparentBitmap(first), b = LoadTransparentBitmap(second);
    QCOMPARE(a.size(), b.size());
    QVERIFY2(Differing(a, b) > 40, qPrintable(QString::number(Differing(a, b))));
}

void TestArt::boxCompartmentsAreOpaqueAndOpenVisibly_data() {
    QTest::addColumn<QString>("stem");
    for (const QString& stem : BoxStems)
        QTest::newRow(qPrintable(stem)) << stem;
}

void TestArt::boxCompartmentsAreOpaqueAndOpenVisibly() {
    // The compartments tile the parts box without holes, and pressing one visibly opens it.
    QFETCH(QString, stem);
    const QImage closed = LoadTransparentBitmap("bmp" + stem + "BoxClosed");
    const QImage opened = LoadTransparentBitmap("bmp" + stem + "BoxOpened");
    for (const QImage* image : {&closed, &opened})
        for (int y = 0; y < image->height(); ++y)
            for (int x = 0; x < image->width(); ++x)
                QCOMPARE(qAlpha(Raw(*image, x, y)), 255);
    QVERIFY(Differing(closed, opened) > closed.width() * closed.height() / 4);
}

void TestArt::batteryShowsItsPolarity() {
    // A reversed battery is shown by mirroring its picture left to right: the picture must not
    // be symmetric, or the student could not see which way round it is.
    const QImage battery = LoadTransparentBitmap("bmpBattery");
    const QImage mirrored = battery.mirrored(true, false);
    QVERIFY2(Differing(battery, mirrored) > 150,
             qPrintable(QString::number(Differing(battery, mirrored))));
}

void TestArt::glowBrightensInOrder_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("region");
    QTest::newRow("lamp") << "Lamp" << LampRegion;
    QTest::newRow("heater") << "Heater" << QRect(0, 0, 64, 64);
}

void TestArt::glowBrightensInOrder() {
    // The glow pictures between "Off", "Min" and "On" are blends of them, so the part brightens
    // steadily with its power only if each of the three is clearly brighter than the one before.
    QFETCH(QString, kind);
    QFETCH(QRect, region);
    auto brightness = [&](const QString& state) {
        const QImage image = LoadTransparentBitmap("bmp" + kind + state);
        double sum = 0;
        int n = 0;
        for (int y = region.top(); y <= region.bottom(); ++y)
            for (int x = region.left(); x <= region.right(); ++x)
                if (qAlpha(Raw(image, x, y)) == 255) {
                    const QRgb c = Raw(image, x, y);
                    sum += std::max({qRed(c), qGreen(c), qBlue(c)});
                    ++n;
                }
        return n ? sum / n : 0.0;
    };
    const double off = brightness("Off"), min = brightness("Min"), on = brightness("On");
    QVERIFY2(off + 8 < min && min + 8 < on,
             qPrintable(QString("%1 %2 %3").arg(off).arg(min).arg(on)));
}

void TestArt::lampGlowsOnlyInsideItsRegion() {
    // The program shows "On" outside the region at every brightness and blends the three
    // pictures inside it, so outside they must be identical and inside they must keep one shape.
    const QImage off = LoadTransparentBitmap("bmpLampOff");
    const QImage min = LoadTransparentBitmap("bmpLampMin");
    const QImage on = LoadTransparentBitmap("bmpLampOn");
    int lit = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb a = Raw(off, x, y), b = Raw(min, x, y), c = Raw(on, x, y);
            if (!LampRegion.contains(x, y)) {
                QVERIFY2(a == c && b == c, qPrintable(QString("pixel %1, %2").arg(x).arg(y)));
                continue;
            }
            QCOMPARE(qAlpha(a), qAlpha(c));
            QCOMPARE(qAlpha(b), qAlpha(c));
            lit += Luma(c) > Luma(a) + 40;
        }
    QVERIFY2(lit > 150, qPrintable(QString::number(lit)));
}

void TestArt::lampFilamentIsInsideTheRegion() {
    // The cold filament is a dark coil inside the bulb; lit, the same pixels are nearly white.
    const QImage off = LoadTransparentBitmap("bmpLampOff");
    const QImage on = LoadTransparentBitmap("bmpLampOn");
    int filament = 0;
    for (int y = LampRegion.top(); y <= LampRegion.bottom(); ++y)
        for (int x = LampRegion.left(); x <= LampRegion.right(); ++x) {
            const QRgb cold = Raw(off, x, y), hot = Raw(on, x, y);
            if (qAlpha(cold) == 255 && Luma(cold) < 130 && Luma(hot) > 225) ++filament;
        }
    QVERIFY2(filament >= 6, qPrintable(QString::number(filament)));
    // The whole bulb is glass: every pixel of the region's middle is opaque.
    for (int y = 14; y <= 28; ++y)
        QCOMPARE(qAlpha(Raw(off, 32, y)), 255);
}

void TestArt::heaterGlowKeepsItsShape() {
    // The heater's pictures are blended over their whole area: one shape, a coil that turns
    // from dull metal to red to orange.
    const QImage off = LoadTransparentBitmap("bmpHeaterOff");
    const QImage min = LoadTransparentBitmap("bmpHeaterMin");
    const QImage on = LoadTransparentBitmap("bmpHeaterOn");
    QCOMPARE(off.size(), on.size());
    QCOMPARE(min.size(), on.size());
    auto red = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = Raw(image, x, y);
                n += qAlpha(c) == 255 && qRed(c) > 150 && qRed(c) > qBlue(c) + 80;
            }
        return n;
    };
    for (int y = 0; y < on.height(); ++y)
        for (int x = 0; x < on.width(); ++x) {
            QCOMPARE(qAlpha(Raw(off, x, y)), qAlpha(Raw(on, x, y)));
            QCOMPARE(qAlpha(Raw(min, x, y)), qAlpha(Raw(on, x, y)));
        }
    QCOMPARE(red(off), 0);
    QVERIFY(red(min) > 60);
    QVERIFY(red(on) > 60);
}

void TestArt::buttonGlyphsShowTheirLooks_data() {
    QTest::addColumn<QString>("name");
    for (const QString& button : Buttons)
        QTest::newRow(qPrintable(button)) << "bmpBtn" + button;
}

void TestArt::buttonGlyphsShowTheirLooks() {
    QFETCH(QString, name);
    const QImage strip = LoadTransparentBitmap(name);
    QCOMPARE(strip.size(), QSize(GlyphSize * GlyphLooks, GlyphSize));
    QImage glyph[GlyphLooks];
    for (int i = 0; i < GlyphLooks; ++i) {
        glyph[i] = strip.copy(i * GlyphSize, 0, GlyphSize, GlyphSize);
        // Each glyph keeps to its own cell: the cell's first row and column stay clear, so no
        // glyph shows a sliver of its neighbour, and every glyph has a solid key in its middle.
        for (int k = 0; k < GlyphSize; ++k) {
            QVERIFY2(Raw(glyph[i], 0, k) == 0,
                     qPrintable(QString("glyph %1, row %2").arg(i).arg(k)));
            QVERIFY2(Raw(glyph[i], k, 0) == 0,
                     qPrintable(QString("glyph %1, column %2").arg(i).arg(k)));
        }
        QCOMPARE(qAlpha(Raw(glyph[i], GlyphSize / 2, GlyphSize / 2)), 255);
    }
    const QImage& up = glyph[0];
    const QImage& disabled = glyph[1];
    const QImage& pressed = glyph[2];
    const QImage& down = glyph[3];
    // Four different pictures.
    for (int i = 0; i < GlyphLooks; ++i)
        for (int j = i + 1; j < GlyphLooks; ++j)
            QVERIFY2(Differing(glyph[i], glyph[j]) > 150,
                     qPrintable(QString("glyphs %1 and %2: %3")
                                    .arg(i)
                                    .arg(j)
                                    .arg(Differing(glyph[i], glyph[j]))));
    // Disabled is grey: far less colourful than up, and not brighter than the whole key was.
    const Tone toneUp = ToneOf(up), toneDisabled = ToneOf(disabled), tonePressed = ToneOf(pressed);
    QVERIFY2(toneUp.chroma > 10, qPrintable(QString::number(toneUp.chroma)));
    QVERIFY2(toneDisabled.chroma < toneUp.chroma / 4,
             qPrintable(QString("%1 against %2").arg(toneDisabled.chroma).arg(toneUp.chroma)));
    // Pressed is a little darker than up, and the key moves one pixel down and to the right;
    // latched down, it stays sunk in the same way.
    QVERIFY2(tonePressed.luma < toneUp.luma - 5,
             qPrintable(QString("%1 against %2").arg(tonePressed.luma).arg(toneUp.luma)));
    const QRect keyUp = OpaqueBounds(up);
    QCOMPARE(OpaqueBounds(pressed).topLeft(), keyUp.topLeft() + QPoint(1, 1));
    QCOMPARE(OpaqueBounds(down).topLeft(), keyUp.topLeft() + QPoint(1, 1));
    // Disabled is flat: it casts no shadow, so nothing of it lies outside the key's own outline.
    QCOMPARE(OpaqueBounds(disabled).topLeft(), keyUp.topLeft());
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < GlyphSize; ++x)
            if (!keyUp.adjusted(-1, -1, 1, 1).contains(x, y))
                QVERIFY2(Raw(disabled, x, y) == 0,
                         qPrintable(QString("pixel %1, %2").arg(x).arg(y)));
}

void TestArt::appIconsFillTheirSquare_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : AppIcons)
        QTest::newRow(qPrintable(name)) << name;
}

void TestArt::appIconsFillTheirSquare() {
    // A program icon is shown small on a desktop or a task bar: its drawing must fill most of
    // the square, be solid in the middle and be in colour.
    QFETCH(QString, name);
    const QImage icon = LoadTransparentBitmap(name);
    int opaque = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            opaque += qAlpha(Raw(icon, x, y)) == 255;
    QVERIFY2(opaque > icon.width() * icon.height() * 6 / 10, qPrintable(QString::number(opaque)));
    QCOMPARE(qAlpha(Raw(icon, 32, 32)), 255);
    QVERIFY2(ToneOf(icon).chroma > 20, qPrintable(QString::number(ToneOf(icon).chroma)));
}

void TestArt::meterPictures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("jpgPribor") << "jpgPribor" << QSize(153, 277);
    for (int k = 0; k < 20; ++k)
        QTest::newRow(qPrintable(QString("jpgHandle%1").arg(k)))
            << QString("jpgHandle%1").arg(k) << QSize(98, 98);
}

void TestArt::meterPictures() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QCOMPARE(LoadJpegResource(name).size(), size);
}

void TestArt::meterDisplaySwitchesOffWithoutATrace() {
    // Nothing on the display is erased: an element is switched off by painting its "off" picture
    // over it. So every picture is opaque, every "off" picture is one flat colour, the same for
    // all, and the face's glass round each place has that colour too (within JPEG's accuracy).
    QRgb glass = 0;
    for (const auto& [name, size] : MeterDisplayPictures) {
        const QImage image = LoadTransparentBitmap(name);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(qAlpha(Raw(image, x, y)), 255);
    }
    const QImage face = LoadJpegResource("jpgPribor");
    for (const auto& [name, at] : MeterOffPictures) {
        const QImage off = LoadTransparentBitmap(name);
        if (!glass) glass = Raw(off, 0, 0);
        for (int y = 0; y < off.height(); ++y)
            for (int x = 0; x < off.width(); ++x)
                QCOMPARE(Raw(off, x, y), glass);
        for (int y = -1; y <= off.height(); ++y)
            for (int x : {-1, off.width()}) {
                const QRgb f = face.pixel(at.x() + x, at.y() + y);
                const int d =
                    std::max({std::abs(qRed(f) - qRed(glass)), std::abs(qGreen(f) - qGreen(glass)),
                              std::abs(qBlue(f) - qBlue(glass))});
                QVERIFY2(d <= 6, qPrintable(QString("%1 at %2,%3: %4")
                                                .arg(name)
                                                .arg(at.x() + x)
                                                .arg(at.y() + y)
                                                .arg(d)));
            }
    }
    // Lit, every element shows: dark segments on the glass.
    for (const auto& [name, size] : MeterDisplayPictures) {
        if (name.startsWith("No") || name == "NumberNULL" || name == "Pos1Number1None") continue;
        const QImage on = LoadTransparentBitmap(name);
        int dark = 0;
        for (int y = 0; y < on.height(); ++y)
            for (int x = 0; x < on.width(); ++x)
                dark += Luma(Raw(on, x, y)) < Luma(glass) / 2;
        QVERIFY2(dark >= 2, qPrintable(name));
    }
}

void TestArt::knobPointsAtItsPosition_data() {
    QTest::addColumn<int>("position");
    for (int k = 0; k < 20; ++k)
        QTest::newRow(qPrintable(QString::number(k))) << k;
}

void TestArt::knobPointsAtItsPosition() {
    // The white pointer on the knob lies in the direction of the switch position: clockwise from
    // the top in steps of 18 degrees. What the mask cuts away is white, and the knob round the
    // pointer is dark, so the pointer is the light part inside the mask.
    QFETCH(int, position);
    const QImage knob = LoadJpegResource(QString("jpgHandle%1").arg(position));
    const QImage mask = LoadTransparentBitmap("bmpMask");
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < 98; ++y)
        for (int x = 0; x < 98; ++x) {
            if (Luma(Raw(mask, x, y)) > 128 || Luma(knob.pixel(x, y)) < 200) continue;
            sx += x + 0.5 - 49;
            sy += y + 0.5 - 49;
            ++n;
        }
    QVERIFY2(n > 8, qPrintable(QString::number(n)));
    const double angle = std::fmod(std::atan2(sx, -sy) * 180 / 3.14159265358979323846 + 360, 360);
    const double off = std::fabs(std::remainder(angle - 18 * position, 360));
    QVERIFY2(off < 6, qPrintable(QString("points at %1 degrees").arg(angle)));
    // The mask keeps a round knob whose rim lies well inside the picture.
    QCOMPARE(Luma(Raw(mask, 49, 49)), 0);
    QVERIFY(Luma(Raw(mask, 0, 0)) > 128 && Luma(Raw(mask, 97, 49)) > 128);
}

void TestArt::leadTipIsTheMiddle_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : LeadPictures)
        QTest::newRow(qPrintable(name)) << name;
}

void TestArt::leadTipIsTheMiddle() {
    // The lead is centred on its node and its cursor's hot spot is the middle: the probe's tip
    // must be there, and enough of the probe to take hold of with the mouse.
    QFETCH(QString, name);
    const QImage lead = LoadTransparentBitmap(name);
    int tip = 0, all = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int a = qAlpha(Raw(lead, x, y));
            if (std::abs(x - 16) <= 1 && std::abs(y - 16) <= 1) tip = std::max(tip, a);
            all += a == 255;
        }
    QVERIFY2(tip > 128, qPrintable(QString::number(tip)));
    QVERIFY2(all > 50, qPrintable(QString::number(all)));
}

void TestArt::scopeFront() {
    // Dark glass where the screen goes, a lighter metal plate right of it, and the trigger keys
    // visibly lit when pressed in.
    const QImage front = LoadJpegResource("jpgScopeFront");
    QCOMPARE(front.size(), QSize(651, 178));
    const Tone screen = ToneOf(front.copy(0, 0, 280, 178));
    const Tone plate = ToneOf(front.copy(290, 0, 361, 178));
    QVERIFY2(screen.luma < 16 && plate.luma > screen.luma + 25,
             qPrintable(QString("screen %1, plate %2").arg(screen.luma).arg(plate.luma)));
    const QImage up = LoadTransparentBitmap("bmpScopeKeyUp");
    const QImage down = LoadTransparentBitmap("bmpScopeKeyDown");
    int greener = 0;
    for (int y = 0; y < up.height(); ++y)
        for (int x = 0; x < up.width(); ++x)
            greener += qGreen(Raw(down, x, y)) > qGreen(Raw(up, x, y)) + 60;
    QVERIFY2(greener >= 6, qPrintable(QString::number(greener)));
}

void TestArt::scopeJackHoleUnderTheProbeTip_data() {
    // A probe resting in its socket has its tip 16 pixels right of channel A's jack picture and
    // 4 pixels right of channel B's (their probes lie the other way round), 10 pixels down.
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tipX");
    QTest::newRow("A red") << "bmpScopeJackRedA" << 16;
    QTest::newRow("A common") << "bmpScopeJackComA" << 16;
    QTest::newRow("B red") << "bmpScopeJackRedB" << 4;
    QTest::newRow("B common") << "bmpScopeJackComB" << 4;
}

void TestArt::scopeJackHoleUnderTheProbeTip() {
    QFETCH(QString, name);
    QFETCH(int, tipX);
    const QImage jack = LoadTransparentBitmap(name);
    // The hole is the darkest opaque spot; the tip must land within its brass rim.
    QPoint hole;
    int darkest = 256;
    for (int y = 0; y < jack.height(); ++y)
        for (int x = 0; x < jack.width(); ++x) {
            const QRgb c = Raw(jack, x, y);
            if (qAlpha(c) == 255 && Luma(c) < darkest) {
                darkest = Luma(c);
                hole = QPoint(x, y);
            }
        }
    QVERIFY2(std::abs(hole.x() - tipX) <= 3 && std::abs(hole.y() - 10) <= 1,
             qPrintable(QString("hole at (%1, %2)").arg(hole.x()).arg(hole.y())));
}

void TestArt::sounds_data() {
    QTest::addColumn<QString>("name");     // as the program asks for it
    QTest::addColumn<QString>("resource"); // as it is stored
    QTest::addColumn<bool>("shipped");
    QTest::newRow("Sound1") << "Sound1"
                            << "SOUND1" << true;
    QTest::newRow("Sound2") << "Sound2"
                            << "SOUND2" << true;
    QTest::newRow("wavOnBurnOut") << "wavOnBurnOut"
                                  << "WAVONBURNOUT" << true;
    QTest::newRow("wavOnPull") << "wavOnPull"
                               << "WAVONPULL" << true;
    QTest::newRow("wavOnSet") << "wavOnSet"
                              << "WAVONSET" << true;
    QTest::newRow("wavOnTrash") << "wavOnTrash"
                                << "WAVONTRASH" << true;
    // Events the workbench leaves silent on purpose.
    for (const char* silent : {"wavComeOn", "wavOnHelp", "wavOnReference", "wavOnError", "wavNeg1"})
        QTest::newRow(silent) << silent << "" << false;
}

void TestArt::sounds() {
    QFETCH(QString, name);
    QFETCH(QString, resource);
    QFETCH(bool, shipped);
    QList<TSoundRequest> heard;
    SetSoundSink([&](const TSoundRequest& r) { heard << r; });
    const bool found = PlayWaveResource(name);
    SetSoundSink(nullptr);
    QCOMPARE(found, shipped);
    QCOMPARE(heard.size(), 1);
    if (!shipped) return;

    QFile file(":/art/" + resource + ".wav");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray wav = file.readAll();
    QVERIFY(wav.size() > 44);
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    const uchar* h = reinterpret_cast<const uchar*>(wav.constData());
    QCOMPARE(qFromLittleEndian<quint16>(h + 20), quint16(1)); // PCM
    QCOMPARE(qFromLittleEndian<quint16>(h + 22), quint16(1)); // mono
    const quint32 rate = qFromLittleEndian<quint32>(h + 24);
    QCOMPARE(qFromLittleEndian<quint16>(h + 34), quint16(16));
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    const quint32 bytes = qFromLittleEndian<quint32>(h + 40);
    QCOMPARE(qsizetype(bytes), wav.size() - 44);

    const int count = int(bytes / 2);
    const double seconds = double(count) / rate;
    QVERIFY2(seconds > 0.03 && seconds < 1.5, qPrintable(QString::number(seconds)));
    int peak = 0;
    double energy = 0;
    for (int i = 0; i < count; ++i) {
        const int s = qFromLittleEndian<qint16>(h + 44 + 2 * i);
        peak = std::max(peak, std::abs(s));
        energy += double(s) * s;
    }
    const double rms = std::sqrt(energy / count);
    QVERIFY2(peak < 32000, qPrintable(QString("peak %1").arg(peak)));     // no clipping
    QVERIFY2(rms > 0.02 * 32768, qPrintable(QString("rms %1").arg(rms))); // clearly audible
    // It starts and ends in silence, so it neither clicks on nor clicks off.
    QVERIFY(std::abs(qFromLittleEndian<qint16>(h + 44)) < 330);
    QVERIFY(std::abs(qFromLittleEndian<qint16>(h + 44 + 2 * (count - 1))) < 330);
}

QTEST_MAIN(TestArt)
#include "tst_art.moc"
