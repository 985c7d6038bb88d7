#include "instruments/Pribor.h"

#include "board/Frmwork.h"
#include "board/Host.h"
#include "board/Node.h"
#include "instruments/Meterreadout.h"
#include "shell/Global.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

QPointer<TPriborPanel> MultimeterPanels[2];

namespace {

std::function<void(int)> ProgramEnd;

void EndProgram(int code) {
    if (ProgramEnd) return ProgramEnd(code);
    std::exit(code);
}

// --- The face's mouse regions, in design units ------------------------------------------------

const QRect Regions[26] = {
    QRect(QPoint(134, 140), QPoint(168, 174)), QRect(QPoint(172, 142), QPoint(200, 184)),
    QRect(QPoint(200, 150), QPoint(244, 196)), QRect(QPoint(228, 196), QPoint(280, 220)),
    QRect(QPoint(242, 220), QPoint(280, 252)), QRect(QPoint(250, 252), QPoint(280, 286)),
    QRect(QPoint(248, 286), QPoint(280, 318)), QRect(QPoint(228, 322), QPoint(280, 348)),
    QRect(QPoint(204, 350), QPoint(236, 396)), QRect(QPoint(170, 364), QPoint(200, 396)),
    QRect(QPoint(138, 372), QPoint(166, 420)), QRect(QPoint(104, 366), QPoint(138, 420)),
    QRect(QPoint(68, 350), QPoint(104, 384)),  QRect(QPoint(20, 324), QPoint(78, 350)),
    QRect(QPoint(20, 294), QPoint(60, 324)),   QRect(QPoint(20, 250), QPoint(54, 290)),
    QRect(QPoint(20, 222), QPoint(56, 250)),   QRect(QPoint(38, 184), QPoint(72, 222)),
    QRect(QPoint(72, 160), QPoint(100, 196)),  QRect(QPoint(100, 144), QPoint(130, 180)),
    QRect(QPoint(48, 34), QPoint(254, 100)),   // 20 the display window
    QRect(QPoint(246, 360), QPoint(280, 400)), // 21..23 the sockets
    QRect(QPoint(246, 414), QPoint(280, 452)), QRect(QPoint(246, 468), QPoint(280, 506)),
    QRect(QPoint(144, 508), QPoint(154, 512)), // 24 the self-test spot
    QRect(QPoint(20, 370), QPoint(60, 410)),   // 25
};
constexpr int RegionDisplay = 20;
constexpr int RegionSelfTest = 24;

QPoint Px(int designX, int designY) {
    return {designX / 2, designY / 2};
}

// --- The shared pictures ------------------------------------------------------------------------

struct TPictures {
    QImage Face;
    QImage Dials[20];
    QImage Digits[10];
    QImage NumberNull;
    QImage HalfOne, HalfNone;
    QImage NoPoint, Point;
    QImage NoHighVolt, HighVolt;
    QImage NoMinus, Minus;
};
TPictures Pictures;

// A bitmap resource that cannot be loaded ends the program.
bool LoadBitmap(const QString& name, QImage& into) {
    try {
        into = LoadTransparentBitmap(name);
        return true;
    } catch (const EResNotFound&) {
        ShowMessage(QString::asprintf("Can't load BITMAP image %s from resource", qPrintable(name)),
                    QString(), TMsgButtons::Ok, TMsgIcon::Error);
        EndProgram(0);
        return false;
    }
}

// Every pixel that is white in the mask becomes white in the dial, and white is then the dial's
// transparent colour: only the round knob is left, and the face shows round it.
QImage MaskedDial(const QImage& dial, const QImage& mask) {
    QImage out = dial.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const bool maskWhite = !mask.valid(x, y) || qAlpha(mask.pixel(x, y)) == 0 ||
                                   qGray(mask.pixel(x, y)) >= 128;
            if (maskWhite) line[x] = 0;
        }
    }
    return out;
}

} // namespace

void SetProgramEndHandler(std::function<void(int)> handler) {
    ProgramEnd = std::move(handler);
}

bool TPriborPanel::PicturesLoaded() {
    return !Pictures.Face.isNull();
}

bool TPriborPanel::PictureStartup() {
    TPictures& p = Pictures;
    p.Face = LoadJpegResource("jpgPribor");
    if (p.Face.isNull()) return false;
    QImage mask;
    if (!LoadBitmap("bmpMask", mask)) return false;
    for (int k = 0; k < 20; ++k) {
        const QImage dial = LoadJpegResource(QString::asprintf("jpgHandle%d", k));
        if (dial.isNull()) return false;
        p.Dials[k] = MaskedDial(dial, mask);
    }
    mask = QImage();
    for (int d = 0; d < 10; ++d)
        if (!LoadBitmap(QString::asprintf("Number%d", d), p.Digits[d])) return false;
    return LoadBitmap("NumberNULL", p.NumberNull) && LoadBitmap("Pos1Number1", p.HalfOne) &&
           LoadBitmap("Pos1Number1None", p.HalfNone) && LoadBitmap("NoPointBMP", p.NoPoint) &&
           LoadBitmap("PointBMP", p.Point) && LoadBitmap("NoHighVolt", p.NoHighVolt) &&
           LoadBitmap("HighVolt", p.HighVolt) && LoadBitmap("NoMinusBMP", p.NoMinus) &&
           LoadBitmap("MinusBMP", p.Minus);
}

void TPriborPanel::PictureCleanup() {
    Pictures = TPictures();
}

// --- The element ------------------------------------------------------------------------------

TMultimeter::TMultimeter(TPriborPanel* panel, int number)
    : TIron0(Framework, "bmpResistor"), Panel(panel), Number(number) {
    RedLead = new TTestLead(this, true, number);
    BlackLead = new TTestLead(this, false, number);
    ConnectNodes(nullptr, nullptr);
    Resistance = 1E30;
    Inductance = 0;
    Capacitance = 0;
    Emf = 0;
}

TMultimeter::~TMultimeter() {
    delete RedLead.data();
    delete BlackLead.data();
}

void TMultimeter::ConnectNodes(TNode* first, TNode* second) {
    if (RedLead) RedLead->SetNode(first);
    if (BlackLead) BlackLead->SetNode(second);
}

void TMultimeter::SetCurrent(TComplex current) {
    // The solver finds no loop in an element whose two ends share a node. With both leads on
    // one node the meter still closes a circuit of its own: Z·I − EMF = 0 round it.
    if (LeadsShorted()) current = BreaksLoops() ? TComplex() : GetEmf() / GetImpedance();
    TIron0::SetCurrent(current);
}

void TMultimeter::RefreshOwnLoop() {
    if (LeadsShorted()) SetCurrent(TComplex());
}

void TMultimeter::TerminalMoved() {
    RefreshOwnLoop();
}

void TMultimeter::UpdateState() {
    if (Panel) Panel->UpdateReading();
}

// --- The panel --------------------------------------------------------------------------------

namespace {
constexpr int CaptionHeight = 13;
constexpr int Frame = 1;

// The instrument itself: paints the panel's canvas and hands the mouse to the panel.
class TPriborImage : public QWidget {
public:
    explicit TPriborImage(TPriborPanel* panel) : QWidget(panel), Panel(panel) {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, Panel->Canvas);
    }
    void mousePressEvent(QMouseEvent* e) override {
        Panel->PriborImageMouseDown(e->button(), e->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        Panel->PriborImageMouseMove(e->position().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        Panel->PriborImageMouseUp(e->position().toPoint());
    }

private:
    TPriborPanel* Panel;
};

QLabel* NumberLabel(QWidget* parent, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    QFont font("Arial");
    font.setBold(true);
    font.setPixelSize(19);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::yellow);
    label->setPalette(palette);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->adjustSize();
    return label;
}
} // namespace

TPriborPanel::TPriborPanel(QWidget* mainWindow) : QWidget(mainWindow) {
    if (!MultimeterPanels[0])
        SlotIndex = 0;
    else if (!MultimeterPanels[1])
        SlotIndex = 1;
    else
        throw std::logic_error("both multimeter slots are taken");

    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(GetText(1207));
    setFixedSize(ClientWidth + 2 * Frame, ClientHeight + CaptionHeight + 2 * Frame);
    PriborImage = new TPriborImage(this);
    PriborImage->setGeometry(Frame, Frame + CaptionHeight, ClientWidth, ClientHeight);
    Canvas = QImage(ClientWidth, ClientHeight, QImage::Format_ARGB32_Premultiplied);
    Canvas.fill(Qt::black);

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TPriborPanel::Timer1Timer);
    label1 = NumberLabel(PriborImage, "1");
    label2 = NumberLabel(PriborImage, "2");
    // On the number plate at the bottom left of the face.
    for (QLabel* label : {label1, label2})
        label->move(15, ClientHeight - 2 * label->height());

    QRect toolBar = BenchHost.ToolBarImage
                        ? BenchHost.ToolBarImage()
                        : QRect(mainWindow ? mainWindow->width() : width(), 0, 0, 0);
    const int statusTop = BenchHost.StatusBarTop ? BenchHost.StatusBarTop()
                                                 : (mainWindow ? mainWindow->height() : height());
    MultimeterPanels[SlotIndex] = this;
    if (SlotIndex == 0) {
        label1->show();
        label2->hide();
        move(toolBar.left() - width(), statusTop - 100 - height());
    } else {
        label2->show();
        label1->hide();
        move(0, toolBar.top());
    }
    if (MultimeterSlotsTaken() && BenchHost.EnableMultimeterButton)
        BenchHost.EnableMultimeterButton(false);

    try {
        ElementObject = new TMultimeter(this, SlotIndex + 1);
    } catch (...) {
        // No meter after all: the slot and the button are as they were.
        MultimeterPanels[SlotIndex] = nullptr;
        if (BenchHost.EnableMultimeterButton) BenchHost.EnableMultimeterButton(true);
        throw;
    }
    Position = 0;
    ShownValue = 0;

    if (!PicturesLoaded() && !PictureStartup()) {
        ShowMessage(GetText(1206), GetText(1201), TMsgButtons::Ok, TMsgIcon::Error, mainWindow);
        EndProgram(0);
    }
    PaintFace();
    PaintDial();
    PaintDisplay();
}

TPriborPanel::~TPriborPanel() {
    if (MultimeterPanels[SlotIndex] == this) MultimeterPanels[SlotIndex] = nullptr;
    if (BenchHost.EnableMultimeterButton) BenchHost.EnableMultimeterButton(true);
    if (ElementObject) {
        // Taking the meter away changes the circuit it was connected into.
        const bool connected = ElementObject->FirstNode || ElementObject->SecondNode;
        delete ElementObject.data();
        if (connected) NotifyCircuitChanged();
    }
}

namespace {
// Where a meter may lie: wholly inside the main window, so that its caption, by which it is
// moved, and its close box can never be dragged out of reach.
QPoint KeptOnScreen(const QWidget* panel, QPoint at) {
    const QWidget* window = panel->parentWidget();
    if (!window) return at;
    const int right = std::max(0, window->width() - panel->width());
    const int bottom = std::max(0, window->height() - panel->height());
    return {std::clamp(at.x(), 0, right), std::clamp(at.y(), 0, bottom)};
}
} // namespace

bool MultimeterSlotsTaken() {
    return MultimeterPanels[0] && MultimeterPanels[1];
}

TPriborPanel* ShowNewMultimeter(QWidget* mainWindow, int top) {
    if (MultimeterSlotsTaken()) return nullptr;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TPriborPanel* panel = nullptr;
    try {
        panel = new TPriborPanel(mainWindow);
        panel->move(KeptOnScreen(panel, QPoint(panel->x(), top)));
        panel->show();
    } catch (...) {
        // The button's errors are swallowed: at worst no meter appears.
    }
    QApplication::restoreOverrideCursor();
    return panel;
}

// --- Painting -----------------------------------------------------------------------------------

void TPriborPanel::PaintFace() {
    QPainter p(&Canvas);
    p.drawImage(0, 0, Pictures.Face);
}

void TPriborPanel::PaintDial() {
    QPainter p(&Canvas);
    p.drawImage(Px(53, 179), Pictures.Dials[Position]);
}

void TPriborPanel::PaintDisplay() {
    const TPictures& pic = Pictures;
    QPainter p(&Canvas);
    // Every element is painted on or off: nothing is ever erased.
    p.drawImage(Px(90, 39), Display.Digit[1] == 1 ? pic.HalfOne : pic.HalfNone);
    for (int pos = 2; pos <= 4; ++pos) {
        const int d = Display.Digit[pos];
        p.drawImage(Px(46 * pos + 26, 39), d >= 0 && d <= 9 ? pic.Digits[d] : pic.NumberNull);
    }
    for (int pos = 0; pos <= 3; ++pos)
        p.drawImage(Px(46 * pos + 63, 91), Display.Point[pos] ? pic.Point : pic.NoPoint);
    p.drawImage(Px(58, 40), Display.HighVolt ? pic.HighVolt : pic.NoHighVolt);
    p.drawImage(Px(60, 67), Display.Minus ? pic.Minus : pic.NoMinus);
    p.end();
    PriborImage->update();
}

void TPriborPanel::RepaintImage() {
    PriborImage->repaint();
}

void TPriborPanel::showEvent(QShowEvent*) {
    PaintFace();
    PaintDial();
    SkipUnchanged = false;
    ShowValue(ShownValue);
    SkipUnchanged = true;
}

QRect TPriborPanel::CloseBox() const {
    return QRect(width() - Frame - 12, Frame + 1, 11, 11);
}

void TPriborPanel::paintEvent(QPaintEvent*) {
    // A slim tool-window frame: the caption strip with the meter's name and a close box.
    QPainter p(this);
    p.fillRect(rect(), QColor(24, 25, 27));
    QLinearGradient strip(0, Frame, 0, Frame + CaptionHeight);
    strip.setColorAt(0, QColor(92, 96, 104));
    strip.setColorAt(1, QColor(52, 55, 60));
    p.fillRect(QRect(Frame, Frame, width() - 2 * Frame, CaptionHeight), strip);
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(232, 232, 228));
    p.drawText(QRect(Frame + 4, Frame, width() - 24, CaptionHeight),
               Qt::AlignVCenter | Qt::AlignLeft, windowTitle());
    const QRect box = CloseBox();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(232, 232, 228), 1.5));
    p.drawLine(QPointF(box.left() + 2.5, box.top() + 2.5),
               QPointF(box.right() - 1.5, box.bottom() - 1.5));
    p.drawLine(QPointF(box.right() - 1.5, box.top() + 2.5),
               QPointF(box.left() + 2.5, box.bottom() - 1.5));
}

// The caption strip moves the window like a window's title; its box closes it.
void TPriborPanel::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    if (CloseBox().contains(e->position().toPoint())) {
        close();
        return;
    }
    Moving = true;
    MovePoint = e->position().toPoint();
}

void TPriborPanel::mouseMoveEvent(QMouseEvent* e) {
    if (Moving) move(KeptOnScreen(this, pos() + e->position().toPoint() - MovePoint));
}

void TPriborPanel::mouseReleaseEvent(QMouseEvent*) {
    Moving = false;
}

// --- The mouse on the instrument
// ------------------------------------------------------------------

int TPriborPanel::RegionAt(QPoint pixel) {
    const int x = 2 * pixel.x(), y = 2 * pixel.y();
    for (int r = 0; r < 26; ++r) {
        const QRect& b = Regions[r];
        if (b.left() < x && x < b.right() && b.top() < y && y < b.bottom()) return r;
    }
    return -1;
}

QPoint TPriborPanel::RegionCentre(int region) {
    const QRect& b = Regions[region];
    return {(b.left() + b.right()) / 4, (b.top() + b.bottom()) / 4};
}

void TPriborPanel::PriborImageMouseDown(Qt::MouseButton button, QPoint at) {
    if (button != Qt::LeftButton) return;
    const int region = RegionAt(at);
    if (region == RegionDisplay || region < 0) {
        Moving = true;
        MovePoint = at;
    } else if (region == RegionSelfTest) {
        SelfTest();
    } else if (region < 20) {
        SwitchTo(region);
    }
}

void TPriborPanel::PriborImageMouseMove(QPoint at) {
    if (Moving) {
        move(KeptOnScreen(this, pos() + at - MovePoint));
        return;
    }
    const int region = RegionAt(at);
    if (region < 0)
        PriborImage->setCursor(CursorByNumber(crDefault));
    else if (MeterPositionSelectable(region) || (region >= 21 && region <= 23))
        PriborImage->setCursor(CursorByNumber(crHandPoint));
}

void TPriborPanel::PriborImageMouseUp(QPoint) {
    Moving = false;
}

void TPriborPanel::Timer1Timer() {
    PlayWaveResource("Sound2");
}

void TPriborPanel::SwitchTo(int position) {
    if (!MeterPositionSelectable(position) || position == Position) return;
    if (position != 9) Timer1->stop();
    Position = position;
    PaintDial();
    if (ElementObject) {
        ElementObject->SetResistance(MeterRange(position).Resistance);
        ElementObject->SetEmf(MeterRange(position).Emf);
    }
    NotifyCircuitChanged();
    if (ElementObject) ElementObject->RefreshOwnLoop();
    SkipUnchanged = false;
    UpdateReading();
    RepaintImage();
    PlayWaveResource("Sound1");
}

void TPriborPanel::SelfTest() {
    const double shownValue = ShownValue;
    const int position = Position;
    for (int i = 0; i < 60; ++i) {
        Position = i % 20;
        PaintDial();
        RepaintImage();
        Wait(66);
    }
    Position = 2;
    PaintDial();
    for (int i = 0; i < 128; ++i) {
        ShowValue(i);
        RepaintImage();
        Wait(1);
    }
    Position = position;
    PaintDial();
    ShowValue(shownValue);
    // A solve during the turns may have started the beeper in position 9.
    if (Position != 9) Timer1->stop();
    RepaintImage();
    ShowMessage("Multimeter is need for measure current,voltage and resistanse\n"
                "There it is a digital device\n"
                "Vexilo virtual workbench: the meter, its face and its sounds are made by the "
                "Vexilo team.",
                "About Multimeter", TMsgButtons::Ok, TMsgIcon::Information, this);
}

// --- The reading
// ----------------------------------------------------------------------------------

void TPriborPanel::UpdateReading() {
    SkipUnchanged = false;
    const TComplex current = ElementObject ? ElementObject->Current : TComplex();
    const TComplex voltage = ElementObject ? ElementObject->Voltage : TComplex();
    switch (MeterRange(Position).Reads) {
    case TReads::AcVolts:
        // An alternating voltage needs an alternating source in the circuit.
        if (CircuitOmega == 0) {
            ShowValue(0);
            ShowZero();
        } else {
            ShowValue(std::abs(voltage));
        }
        break;
    case TReads::DcAmps:
        ShowValue(current.imag() == 0 ? current.real() : 0);
        break;
    case TReads::Ohms:
        // The internal source drives I = EMF / (R_internal + R_x) through the unknown.
        if (ElementObject && current.real() != 0)
            ShowValue(ElementObject->Emf / current.real() - ElementObject->Resistance);
        else
            ShowValue(1E30);
        break;
    case TReads::DcVolts:
        if (CircuitOmega != 0) {
            ShowValue(0);
            ShowZero();
        } else {
            ShowValue(voltage.real());
        }
        break;
    case TReads::Nothing:
        ShowValue(0);
        break;
    }
    SkipUnchanged = true;
}

void TPriborPanel::ShowValue(double x) {
    if (SkipUnchanged && x == ShownValue) return;
    ShownValue = x;
    const TMeterReadout readout = MeterReadout(Position, x);
    if (readout.Beeper) {
        if (*readout.Beeper && !Timer1->isActive()) Timer1->start();
        if (!*readout.Beeper && Timer1->isActive()) Timer1->stop();
    }
    Display = readout.Display;
    PaintDisplay();
}

void TPriborPanel::ShowZero() {
    Display = MeterZero(Display);
    PaintDisplay();
}

void TPriborPanel::ShowOverload() {
    Display = MeterOverload(Display);
    PaintDisplay();
}
