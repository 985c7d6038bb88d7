#include "instruments/Oscpanel.h"

#include "board/Frmwork.h"
#include "board/Host.h"
#include "instruments/Percentscroller.h"
#include "shell/Global.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

QPointer<TOscillographPanel> OscilloscopePanel;

namespace {

constexpr int Bezel = 3;          // the dark frame round the instrument
constexpr int CaptionHeight = 14; // the strip with the instrument's name and the close box

// Where the groups lie on the front, in client pixels. The front picture prints their frames
// at the same places.
const QRect GroupA(281, 0, 184, 89);
const QRect GroupB(281, 89, 184, 89);
const QRect GroupSweep(465, 0, 186, 100);
const QRect GroupTrigger(465, 100, 186, 78);

constexpr int ListWidth = 68;
constexpr int ListHeight = 18;
constexpr int FineTrack = 100;
constexpr int KeyWidth = 46;
constexpr int KeyHeight = 18;

const QColor LabelInk(214, 220, 226);
const QColor CaptionInk(244, 246, 240);
const QColor PlateColour(22, 24, 27);

// The front's lettering; the lists use the narrow cut, so that a gain fits beside its arrow.
QFont PanelFont(int pixels, bool bold = false) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void SetCaption(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

// The instrument's front, a picture of the art.
class TScopeFront : public QWidget {
public:
    TScopeFront(QWidget* parent, const QImage* front) : QWidget(parent), Front(front) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        if (Front->isNull())
            p.fillRect(e->rect(), QColor(38, 41, 46));
        else
            p.drawImage(e->rect(), *Front, e->rect());
    }

private:
    const QImage* Front;
};

// The screen: shows the panel's screen picture as the last frame left it. The picture covers
// every pixel, so nothing is erased before it is drawn (no flicker).
class TScopeScreen : public QWidget {
public:
    explicit TScopeScreen(TOscillographPanel* panel, QWidget* parent)
        : QWidget(parent), Panel(panel) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        p.drawImage(e->rect(), Panel->Screen, e->rect());
        if (Glass.size() != size()) Glass = GlassEdge(size());
        p.drawImage(e->rect(), Glass, e->rect());
    }
    void mousePressEvent(QMouseEvent* e) override {
        Panel->Image1MouseDown(e->button(), e->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        Panel->Image1MouseMove(e->position().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent*) override { Panel->Image1MouseUp(); }
    void contextMenuEvent(QContextMenuEvent* e) override {
        Panel->PopupMenu1->popup(e->globalPos());
    }

private:
    // The tube's glass has rounded corners inside the bezel, with a faint rim of light: drawn
    // once, laid over every frame.
    static QImage GlassEdge(QSize size) {
        QImage edge(size, QImage::Format_ARGB32_Premultiplied);
        edge.fill(Qt::transparent);
        QPainter p(&edge);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath glass;
        glass.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5), 8,
                             8);
        QPainterPath bezel;
        bezel.addRect(QRectF(QPointF(0, 0), QSizeF(size)));
        p.fillPath(bezel.subtracted(glass), QColor(10, 11, 12));
        p.setPen(QPen(QColor(255, 255, 255, 26), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(glass);
        return edge;
    }

    TOscillographPanel* Panel;
    QImage Glass;
};

QImage LoadOptionalBitmap(const QString& name) {
    try {
        return LoadTransparentBitmap(name);
    } catch (const EResNotFound&) {
        return QImage();
    }
}

QLabel* Picture(QWidget* parent, const QString& name, QRect geometry) {
    auto* label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setPixmap(QPixmap::fromImage(LoadOptionalBitmap(name)));
    return label;
}

TClickLabel* ClickPicture(QWidget* parent, const QString& name, QRect geometry) {
    auto* label = new TClickLabel(parent);
    label->setGeometry(geometry);
    label->setPixmap(QPixmap::fromImage(LoadOptionalBitmap(name)));
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

TClickLabel* Caption(QWidget* parent, const QString& text, QPoint at) {
    auto* label = new TClickLabel(text, parent);
    label->setFont(PanelFont(10));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, LabelInk);
    label->setPalette(palette);
    label->move(at);
    label->adjustSize();
    return label;
}

QComboBox* List(QWidget* parent, QPoint at) {
    auto* list = new QComboBox(parent);
    QFont font("DejaVu Sans Condensed");
    font.setPixelSize(9);
    list->setFont(font);
    list->setGeometry(at.x(), at.y(), ListWidth, ListHeight);
    list->setMaxVisibleItems(3);
    list->setEditable(false);
    // A dark selector with a slim arrow, so that the value has the room; it unfolds as a plain
    // list of three rows below itself.
    list->setStyleSheet(
        "QComboBox { combobox-popup: 0; color: #e2e8e2; border: 1px solid #111315;"
        " border-radius: 2px; padding: 0 0 0 3px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #4a5058, stop:1 #2a2e33); }"
        "QComboBox:on { background: #24282c; }"
        "QComboBox::drop-down { width: 11px; border: none; }"
        "QComboBox::down-arrow { image: url(:/art/bmpScopeListArrow.png); }"
        "QComboBox QAbstractItemView { background: #1e2125; color: #e2e8e2; border: 1px solid "
        "#111315;"
        " selection-background-color: #2e7840; selection-color: white; outline: 0; }");
    // The unfolded list is as wide as its longest text, not just as the box.
    list->view()->setMinimumWidth(ListWidth + 16);
    return list;
}

} // namespace

// --- The channel element ---------------------------------------------------------------------

TOscillograph::TOscillograph(TOscillographPanel* panel, int channel)
    : TIron0(Framework, "bmpResistor"), Panel(panel), Channel(channel) {
    RedLead = new TTestLead(this, true, channel + 2);
    BlackLead = new TTestLead(this, false, channel + 2);
    ConnectNodes(nullptr, nullptr);
    SetResistance(InputResistance);
}

TOscillograph::~TOscillograph() {
    delete RedLead.data();
    delete BlackLead.data();
}

void TOscillograph::ConnectNodes(TNode* first, TNode* second) {
    if (RedLead) RedLead->SetNode(first);
    if (BlackLead) BlackLead->SetNode(second);
}

void TOscillograph::UpdateState() {
    if (!Panel) return;
    // The solver's phasors are effective values; the screen shows the peaks.
    const double k = AcDriven ? std::sqrt(2.0) : 1.0;
    Panel->SetChannelSignal(Channel, Voltage.real() * k, Voltage.imag() * k);
}

// --- The drawing thread ------------------------------------------------------------------------

TOscillographDrawThread::TOscillographDrawThread(QObject* parent) : QThread(parent) {}

TOscillographDrawThread::~TOscillographDrawThread() {
    Terminate();
}

void TOscillographDrawThread::Resume() {
    {
        QMutexLocker lock(&Lock);
        IsSuspended = false;
        Wake.wakeAll();
    }
    if (!Terminated && !isRunning()) start(QThread::IdlePriority);
}

void TOscillographDrawThread::Suspend() {
    IsSuspended = true;
}

void TOscillographDrawThread::Terminate() {
    {
        QMutexLocker lock(&Lock);
        Terminated = true;
        Wake.wakeAll();
    }
    Done.release();
    wait();
}

void TOscillographDrawThread::run() {
    QElapsedTimer clock;
    while (!Terminated) {
        {
            QMutexLocker lock(&Lock);
            while (IsSuspended && !Terminated)
                Wake.wait(&Lock);
        }
        if (Terminated) break;
        clock.start();
        emit FrameWanted();
        // The frame is drawn on the user-interface thread; the next is asked for only then.
        while (!Terminated && !Done.tryAcquire(1, 50)) {
        }
        if (Terminated) break;
        // More frames than the screen shows would be work nobody sees.
        const qint64 rest = FramePeriod - clock.elapsed();
        if (rest > 0) {
            QMutexLocker lock(&Lock);
            if (!Terminated) Wake.wait(&Lock, QDeadlineTimer(rest));
        }
    }
}

// --- Small controls ------------------------------------------------------------------------------

void TClickLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && OnClick)
        OnClick();
}

void TClickLabel::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && OnDblClick) OnDblClick();
}

void TScopeGroupBox::paintEvent(QPaintEvent*) {
    // The frame is printed on the front; the caption sits on a small plate over its top line.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(PanelFont(10, true));
    const QString text = title();
    const int w = p.fontMetrics().horizontalAdvance(text) + 8;
    const QRectF plate(6, 0, w, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(PlateColour);
    p.drawRoundedRect(plate, 2, 2);
    p.setPen(CaptionInk);
    p.drawText(plate, Qt::AlignCenter, text);
}

void TScopeGroupBox::mousePressEvent(QMouseEvent* e) {
    if (OnMouseDown) OnMouseDown(e);
    QGroupBox::mousePressEvent(e);
}

void TScopeKey::paintEvent(QPaintEvent*) {
    static const QImage up = LoadOptionalBitmap("bmpScopeKeyUp");
    static const QImage down = LoadOptionalBitmap("bmpScopeKeyDown");
    QPainter p(this);
    const bool pressed = isChecked() || isDown();
    const QImage& face = pressed ? down : up;
    if (!face.isNull())
        p.drawImage(rect(), face);
    else
        p.fillRect(rect(), pressed ? QColor(70, 110, 80) : QColor(70, 74, 80));
    p.setFont(PanelFont(10, true));
    p.setPen(pressed ? QColor(170, 255, 170) : QColor(226, 230, 234));
    // Pressed in, the key's lettering sits a pixel lower, as on a real key.
    p.drawText(rect().adjusted(6, pressed ? 1 : 0, 0, 0), Qt::AlignCenter, text());
}

// --- The panel
// -------------------------------------------------------------------------------------

TOscillographPanel::TOscillographPanel(QWidget* mainWindow) : QWidget(mainWindow) {
    if (OscilloscopePanel) throw std::logic_error("there is an oscilloscope already");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Осциллограф");
    setFixedSize(ClientWidth + 2 * Bezel, ClientHeight + CaptionHeight + 2 * Bezel);
    Front = LoadJpegResource("jpgScopeFront");
    BuildControls();

    // The slot, the place between the parts box and the status line, the button, the inputs.
    OscilloscopePanel = this;
    const QRect toolBar = BenchHost.ToolBarImage
                              ? BenchHost.ToolBarImage()
                              : QRect(mainWindow ? mainWindow->width() : width(), 0, 0, 0);
    const int statusTop = BenchHost.StatusBarTop ? BenchHost.StatusBarTop()
                                                 : (mainWindow ? mainWindow->height() : height());
    move(toolBar.left() - width(), statusTop - height());
    if (BenchHost.EnableOscilloscopeButton) BenchHost.EnableOscilloscopeButton(false);
    try {
        ElementA = new TOscillograph(this, 1);
        ElementB = new TOscillograph(this, 2);
    } catch (...) {
        delete ElementA.data();
        OscilloscopePanel = nullptr;
        if (BenchHost.EnableOscilloscopeButton) BenchHost.EnableOscilloscopeButton(true);
        throw;
    }

    // Captions in the program's language.
    setWindowTitle(GetText(1211));
    GroupBox1->setTitle(GetText(1212));
    GroupBox2->setTitle(GetText(1213));
    GroupBox3->setTitle(GetText(1214));
    GroupBox4->setTitle(GetText(1215));
    SetCaption(Label3, GetText(1216));
    SetCaption(Label4, GetText(1216));
    SetCaption(Label8, GetText(1218));
    SetCaption(Label10, GetText(1219));
    SyncBtnNet->setText(GetText(1220));
    // The brightness label keeps the width of its longest text, so that the sliders beside it
    // (which line up with its right edge) stay clear of it at any percentage.
    Label7->setFixedWidth(Label7->fontMetrics().horizontalAdvance(GetText(1210) + ":100%") + 3);
    SetCaption(StaticText1, GetText(1205));
    SetCaption(StaticText2, GetText(1205));
    for (QLabel* common : {StaticText1, StaticText2})
        common->move(common == StaticText1 ? Image3->x() + 14 - common->width() / 2
                                           : Image4->x() + 6 - common->width() / 2,
                     Image3->y() - common->height() - 1);

    LayoutScreen();
    DrawThread = new TOscillographDrawThread(this);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        if (screen->refreshRate() > 1)
            DrawThread->SetFramePeriod(std::max(1, int(1000 / screen->refreshRate())));
    connect(DrawThread, &TOscillographDrawThread::FrameWanted, this,
            &TOscillographPanel::ThreadFrame, Qt::QueuedConnection);
    SetRealScanning(true);

    // text ids: 163, 171, 173, 174, 1202, 1204
    const QStringList gains = GainItems();
    for (int i = 0; i < gains.size(); ++i) {
        ComboBox1->addItem(gains[i], i);
        ComboBox2->addItem(gains[i], i);
    }
    const QStringList times = TimeItems();
    for (int i = 0; i < times.size(); ++i)
        ComboBox3->addItem(times[i], i);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this] { ComboBox2Change(); });
    connect(ComboBox3, &QComboBox::currentIndexChanged, this, [this] { ComboBox3Change(); });

    CreateSliders();
    SelectItem(ComboBox1, 22);
    ComboBox1Change();
    SelectItem(ComboBox2, 22);
    ComboBox2Change();
    FineGainA->SetPercent(0);
    FineGainB->SetPercent(0);
    ShiftA->SetValue(0);
    ShiftB->SetValue(0);
    BrightnessSlider->SetPercent(100);
    SelectItem(ComboBox3, 22);
    ComboBox3Change();
    FineTime->SetPercent(0);
    CoarseShift->SetValue(0);
    FineShift->SetValue(0);
    LevelSlider->SetPercent(75);

    DrawGraticule();
    SetThreadedDisplay(true);
    SetSyncSource(0);
}

TOscillographPanel::~TOscillographPanel() {
    // No frame may run once the panel starts to go.
    if (DrawThread) DrawThread->Terminate();
    Timer->stop();
    BuffersPresent = false;
    if (DrawThread) DrawThread->Terminate();

    if (OscilloscopePanel == this) OscilloscopePanel = nullptr;
    if (BenchHost.EnableOscilloscopeButton) BenchHost.EnableOscilloscopeButton(true);
    // Taking the inputs away changes the circuit they were connected into.
    bool connected = false;
    for (TOscillograph* element : {ElementA.data(), ElementB.data()})
        if (element) connected = connected || element->FirstNode || element->SecondNode;
    delete ElementA.data();
    delete ElementB.data();
    if (connected) NotifyCircuitChanged();
}

void TOscillographPanel::BuildControls() {
    auto* client = new TScopeFront(this, &Front);
    client->setGeometry(Bezel, Bezel + CaptionHeight, ClientWidth, ClientHeight);

    Image1 = new TScopeScreen(this, client);
    Image1->setGeometry(0, 0, ScreenWidth, ScreenHeight);

    GroupBox1 = new TScopeGroupBox("Канал A", client);
    GroupBox1->setGeometry(GroupA);
    GroupBox3 = new TScopeGroupBox("Канал B", client);
    GroupBox3->setGeometry(GroupB);
    GroupBox2 = new TScopeGroupBox("Развёртка", client);
    GroupBox2->setGeometry(GroupSweep);
    GroupBox4 = new TScopeGroupBox("Синхронизация", client);
    GroupBox4->setGeometry(GroupTrigger);
    GroupBox1->OnMouseDown = [this](QMouseEvent* e) {
        GroupBox1MouseDown(e->button(), e->position().toPoint());
    };

    // The channels: gain label, list and fine slider; shift label and slider; the sockets.
    Label1 = Caption(GroupBox1, "Усиление", {3, 12});
    Label2 = Caption(GroupBox3, "Усиление", {3, 12});
    ComboBox1 = List(GroupBox1, {Label1->x(), Label1->y() + Label1->height() + 1});
    ComboBox2 = List(GroupBox3, {Label2->x(), Label2->y() + Label2->height() + 1});
    Label3 = Caption(GroupBox1, "Сдвиг", {3, 46});
    Label4 = Caption(GroupBox3, "Сдвиг", {3, 46});
    // A probe rests with its tip on the jack: channel A's lie with their cable to the left,
    // channel B's to the right, 12 pixels further left.
    Image2 = Picture(GroupBox1, "bmpScopeJackRedA", {118, 70, 20, 20});
    Image3 = Picture(GroupBox1, "bmpScopeJackComA", {148, 70, 20, 20});
    Image5 = Picture(GroupBox3, "bmpScopeJackRedB", {126, 70, 20, 20});
    Image4 = Picture(GroupBox3, "bmpScopeJackComB", {156, 70, 20, 20});
    StaticText1 = Caption(GroupBox1, "Общ.", {148, 56});
    StaticText2 = Caption(GroupBox3, "Общ.", {156, 56});

    // The time base: time per division with its fine slider, the horizontal shifts, brightness.
    Label5 = Caption(GroupBox2, "Длительность", {3, 12});
    ComboBox3 = List(GroupBox2, {Label5->x(), Label5->y() + Label5->height() + 1});
    Label8 = Caption(GroupBox2, "Грубо:", {3, 48});
    Label10 = Caption(GroupBox2, "Плавно:", {3, 64});
    Label7 = Caption(GroupBox2, "Яркость:", {3, 80});

    // The trigger: level with its slope marks, and the source keys.
    Label6 = Caption(GroupBox4, "Уровень", {3, 12});
    Image9 = ClickPicture(GroupBox4, "bmpScopeSlopeFall", {46, 25, 10, 10});
    Image6 = ClickPicture(GroupBox4, "bmpScopeSlopeRise", {132, 25, 10, 10});
    auto key = [this](const QString& text, const QString& hint, int left) {
        auto* button = new TScopeKey(GroupBox4);
        button->setText(text);
        button->setToolTip(hint);
        button->setCheckable(true);
        button->setAutoExclusive(true);
        button->setGeometry(left, 55, KeyWidth, KeyHeight);
        button->setCursor(Qt::PointingHandCursor);
        return button;
    };
    SyncBtnA = key("A", "Синхронизация по А", 10);
    SyncBtnB = key("B", "Синхронизация по В", 70);
    SyncBtnNet = key("Сеть", "Развертка от сети", 130);
    SyncBtnA->setChecked(true);
    connect(SyncBtnA, &QToolButton::clicked, this, [this] { SetSyncSource(0); });
    connect(SyncBtnB, &QToolButton::clicked, this, [this] { SetSyncSource(1); });
    connect(SyncBtnNet, &QToolButton::clicked, this, [this] { SetSyncSource(2); });

    Label1->OnDblClick = [this] { Label1DblClick(); };
    Label2->OnClick = [this] { Label2Click(); };
    Label3->OnClick = [this] { Label3Click(); };
    Label4->OnClick = [this] { Label4Click(); };
    Label5->OnDblClick = [this] { Label5DblClick(); };
    Label6->OnDblClick = [this] { Label6DblClick(); };
    Label7->OnDblClick = [this] { Label7DblClick(); };
    Label8->OnDblClick = [this] { Label8DblClick(); };
    Label10->OnDblClick = [this] { Label10DblClick(); };
    Image6->OnClick = [this] { Image6Click(); };
    Image9->OnClick = [this] { Image9Click(); };

    PopupMenu1 = new QMenu(this);
    mnuIsConstRay = PopupMenu1->addAction("Луч  постоянный");
    mnuIsThreadedDisplay = PopupMenu1->addAction("Дисплей отдельный");
    mnuRealScanning = PopupMenu1->addAction("Реальная развертка");
    for (QAction* item : {mnuIsConstRay, mnuIsThreadedDisplay, mnuRealScanning})
        item->setCheckable(true);
    connect(mnuIsConstRay, &QAction::triggered, this, [this] { SetConstantRay(!ConstantRay()); });
    connect(mnuIsThreadedDisplay, &QAction::triggered, this,
            [this] { SetThreadedDisplay(!ThreadedDisplay()); });
    connect(mnuRealScanning, &QAction::triggered, this,
            [this] { SetRealScanning(!RealScanning()); });

    Timer = new QTimer(this);
    Timer->setInterval(TimerInterval);
    connect(Timer, &QTimer::timeout, this, &TOscillographPanel::TimerTimer);
}

void TOscillographPanel::CreateSliders() {
    TScopeChannel* c = Model.Channel;
    FineGainA =
        new TPercentScroller(GroupBox1, ComboBox1->x() + ComboBox1->width() + 1, ComboBox1->y() + 4,
                             0, 1, &c[0].VoltsPerDiv, nullptr, FineTrack);
    ShiftA = new TPercentScroller(GroupBox1, Label3->x(), Label3->y() + Label3->height() + 1, -8, 8,
                                  &c[0].VerticalShift, nullptr, FineTrack);
    FineGainB =
        new TPercentScroller(GroupBox3, ComboBox2->x() + ComboBox2->width() + 1, ComboBox2->y() + 4,
                             0, 1, &c[1].VoltsPerDiv, nullptr, FineTrack);
    ShiftB = new TPercentScroller(GroupBox3, Label4->x(), Label4->y() + Label4->height() + 1, -8, 8,
                                  &c[1].VerticalShift, nullptr, FineTrack);
    const int wideTrack = GroupBox2->width() - Label7->width() - 17;
    BrightnessSlider = new TPercentScroller(GroupBox2, Label7->x() + Label7->width(),
                                            Label7->y() + (Label7->height() - 13) / 2, 0, 255,
                                            &Brightness, nullptr, wideTrack);
    FineTime =
        new TPercentScroller(GroupBox2, ComboBox3->x() + ComboBox3->width() + 1, ComboBox3->y() + 4,
                             0, 1, &c[0].SecondsPerDiv, &c[1].SecondsPerDiv, FineTrack);
    CoarseShift = new TPercentScroller(GroupBox2, BrightnessSlider->x(),
                                       Label8->y() + (Label8->height() - 13) / 2, -6, 6, nullptr,
                                       nullptr, wideTrack);
    FineShift = new TPercentScroller(GroupBox2, BrightnessSlider->x(),
                                     Label10->y() + (Label10->height() - 13) / 2, -0.5, 0.5,
                                     nullptr, nullptr, wideTrack);
    LevelSlider = new TPercentScroller(GroupBox4, Label6->x(), Label6->y() + Label6->height() + 11,
                                       -4, 4, nullptr, nullptr, GroupBox4->width() - 17);

    FineGainA->OnChange = [this](TPercentScroller*) { FineGainChange(1); };
    FineGainB->OnChange = [this](TPercentScroller*) { FineGainChange(2); };
    ShiftA->OnChange = [this](TPercentScroller*) { Model.ComputeTrace(0); };
    ShiftB->OnChange = [this](TPercentScroller*) { Model.ComputeTrace(1); };
    BrightnessSlider->OnChange = [this](TPercentScroller*) { BrightnessChange(); };
    FineTime->OnChange = [this](TPercentScroller*) { FineTimeChange(); };
    CoarseShift->OnChange = [this](TPercentScroller*) { HorizontalShiftChange(); };
    FineShift->OnChange = [this](TPercentScroller*) { HorizontalShiftChange(); };
    LevelSlider->OnChange = [this](TPercentScroller*) { LevelChange(); };
    // Marks at a quarter, the middle and three quarters of the level's track: the falling
    // slope at level 0, no trigger, the rising slope at level 0.
    LevelSlider->OnDrawExtra = [](TPercentScroller* s, QPainter& p) {
        p.setPen(Qt::black);
        for (int i = 0; i < 3; ++i) {
            const int x = s->TrackLength * (25 * i + 25) / 100 + TPercentScroller::Margin;
            p.drawLine(x, 0, x, 4);
        }
    };
    for (TPercentScroller* s : {FineGainA, ShiftA, FineGainB, ShiftB, BrightnessSlider, FineTime,
                                CoarseShift, FineShift, LevelSlider})
        s->show();
}

// --- The lists and the sliders ------------------------------------------------------------------

QStringList TOscillographPanel::GainItems() {
    const QString perDiv = "/" + GetText(1204) + ".";
    const QString volt = GetText(163);
    QStringList items;
    for (int i = 0; i < ScopeTables::VoltsCount - 1; ++i) {
        const int n = int(std::lround(ScopeTables::VoltsPerDiv(i) / ScopeTables::VoltsDivisor(i)));
        if (i <= 5)
            items << QString::asprintf("%d %s", n, "µ") + volt + perDiv;
        else if (i <= 14)
            items << QString::asprintf("%d ", n) + GetText(173) + volt + perDiv;
        else if (i <= 23)
            items << QString::asprintf("%d ", n) + volt + perDiv;
        else
            items << QString::asprintf("%d ", n) + GetText(174) + volt + perDiv;
    }
    return items;
}

QStringList TOscillographPanel::TimeItems() {
    const QString perDiv = "/" + GetText(1204) + ".";
    const QString second = GetText(1202);
    QStringList items;
    for (int i = 0; i < ScopeTables::SecondsCount - 1; ++i) {
        const double shown = ScopeTables::SecondsPerDiv(i) / ScopeTables::SecondsDivisor(i);
        if (i <= 2)
            items << QString::asprintf("0.%d ", int(std::lround(shown * 10))) + GetText(171) +
                         second + perDiv;
        else if (i <= 11)
            items << QString::asprintf("%d ", int(std::lround(shown))) + GetText(171) + second +
                         perDiv;
        else if (i <= 20)
            items << QString::asprintf("%d %s", int(std::lround(shown)), "µ") + second + perDiv;
        else if (i <= 29)
            items << QString::asprintf("%d ", int(std::lround(shown))) + GetText(173) + second +
                         perDiv;
        else
            items << QString::asprintf("%d ", int(std::lround(shown))) + second + perDiv;
    }
    return items;
}

QString TOscillographPanel::UnitPart(const QString& itemText) {
    const qsizetype blank = itemText.indexOf(' ');
    return blank < 0 ? QString() : itemText.mid(blank);
}

void TOscillographPanel::SelectItem(QComboBox* list, int index) {
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(index);
}

namespace {
int ItemIndex(const QComboBox* list) {
    return std::max(0, list->currentData().toInt());
}
} // namespace

void TOscillographPanel::ComboBox1Change() {
    const int i = ItemIndex(ComboBox1);
    if (FineGainA)
        FineGainA->SetRange(ScopeTables::VoltsPerDiv(i), ScopeTables::VoltsPerDiv(i + 1));
}

void TOscillographPanel::ComboBox2Change() {
    const int i = ItemIndex(ComboBox2);
    if (FineGainB)
        FineGainB->SetRange(ScopeTables::VoltsPerDiv(i), ScopeTables::VoltsPerDiv(i + 1));
}

void TOscillographPanel::ComboBox3Change() {
    const int i = ItemIndex(ComboBox3);
    if (FineTime)
        FineTime->SetRange(ScopeTables::SecondsPerDiv(i), ScopeTables::SecondsPerDiv(i + 1));
}

void TOscillographPanel::ShowGain(int channel) {
    const QComboBox* list = channel == 1 ? ComboBox1 : ComboBox2;
    QLabel* label = channel == 1 ? Label1 : Label2;
    const double volts = Model.Channel[channel - 1].VoltsPerDiv;
    const QString text = QString::asprintf("%s:%7.3f%s", GetText(1208).toUtf8().constData(),
                                           volts / ScopeTables::VoltsDivisor(ItemIndex(list)),
                                           UnitPart(list->currentText()).toUtf8().constData());
    SetCaption(label, text);
}

void TOscillographPanel::FineGainChange(int channel) {
    ShowGain(channel);
    Model.GainChanged(channel - 1);
}

void TOscillographPanel::FineTimeChange() {
    const double seconds = Model.Channel[0].SecondsPerDiv;
    SetCaption(Label5,
               QString::asprintf("%s:%7.3f%s", GetText(1209).toUtf8().constData(),
                                 seconds / ScopeTables::SecondsDivisor(ItemIndex(ComboBox3)),
                                 UnitPart(ComboBox3->currentText()).toUtf8().constData()));
    if (RealScan) {
        // From 1 ms per division on, the beam is seen running: the slower the sweep, the
        // shorter the piece of it a frame shows.
        const double ms = seconds * 1000;
        if (ms >= 1) {
            SetConstantRay(false);
            const double whole = std::trunc(std::min(ms, 1E9));
            const int d = std::max(int((1000 - qint64(whole)) * Model.Width() / 1998), 2);
            SetSegmentLength(d);
            SetSegmentStep(d - 1);
        } else {
            SetConstantRay(true);
        }
    }
    Model.ComputeTraces();
}

void TOscillographPanel::HorizontalShiftChange() {
    const double shift =
        (CoarseShift ? CoarseShift->Value : 0) + (FineShift ? FineShift->Value : 0);
    for (TScopeChannel& c : Model.Channel)
        c.HorizontalShift = shift;
    Model.ComputeTraces();
}

void TOscillographPanel::LevelChange() {
    Model.SetTriggerLevel(LevelSlider->Value);
    Model.ComputeTraces();
}

void TOscillographPanel::BrightnessChange() {
    const int green = std::clamp(int(std::trunc(Brightness)), 0, 255);
    BeamColour = QColor(0, green, 0);
    SetCaption(Label7, QString::asprintf("%s:%d%%", GetText(1210).toUtf8().constData(),
                                         int(std::trunc(BrightnessSlider->Percent))));
}

void TOscillographPanel::SetChannelSignal(int channel, double re, double im) {
    const TOscillograph* element = channel == 1 ? ElementA.data() : ElementB.data();
    Model.SetChannelSignal(channel - 1, re, im, CircuitOmega, element && element->AcDriven);
}

void TOscillographPanel::SetSyncSource(int source) {
    Model.SetSyncSource(source);
    TScopeKey* keys[3] = {SyncBtnA, SyncBtnB, SyncBtnNet};
    if (!keys[Model.SyncSource]->isChecked()) keys[Model.SyncSource]->setChecked(true);
}

// --- What the labels and pictures do -----------------------------------------------------------

void TOscillographPanel::Label1DblClick() {
    SelectItem(ComboBox1, 15);
    ComboBox1Change();
    FineGainA->SetValue(FineGainA->Min);
}

void TOscillographPanel::Label2Click() {
    SelectItem(ComboBox2, 15);
    ComboBox2Change();
    FineGainB->SetValue(FineGainB->Min);
}

void TOscillographPanel::Label3Click() {
    ShiftA->SetValue(0);
}
void TOscillographPanel::Label4Click() {
    ShiftB->SetValue(0);
}

void TOscillographPanel::Label5DblClick() {
    SelectItem(ComboBox3, 30);
    ComboBox3Change();
    FineTime->SetValue(1);
}

void TOscillographPanel::Label6DblClick() {
    LevelSlider->SetPercent(75);
}
void TOscillographPanel::Label7DblClick() {
    BrightnessSlider->SetPercent(100);
}
void TOscillographPanel::Label8DblClick() {
    CoarseShift->SetPercent(50);
}
void TOscillographPanel::Label10DblClick() {
    FineShift->SetPercent(50);
}
void TOscillographPanel::Image6Click() {
    LevelSlider->SetPercent(75);
}
void TOscillographPanel::Image9Click() {
    LevelSlider->SetPercent(25);
}

void TOscillographPanel::GroupBox1MouseDown(Qt::MouseButton button, QPoint at) {
    if (button != Qt::RightButton) return;
    if (!(at.x() > 17 && at.x() <= 24 && at.y() > 7 && at.y() <= 12)) return;
    ShowMessage("Oscillograph is need for measure and view current or voltage parameters\n"
                "There it is an analog device\n"
                "Vexilo virtual workbench: the oscilloscope, its screen and its front are made by "
                "the Vexilo team.",
                "About Oscillograph", TMsgButtons::Ok, TMsgIcon::Information, this);
}

// --- Moving the panel by its screen or its caption
// ------------------------------------------------

void TOscillographPanel::Image1MouseDown(Qt::MouseButton button, QPoint at) {
    if (button != Qt::LeftButton) return;
    Moving = true;
    MovePoint = at;
}

void TOscillographPanel::Image1MouseMove(QPoint at) {
    if (Moving) move(pos() + at - MovePoint);
}

void TOscillographPanel::Image1MouseUp() {
    Moving = false;
}

QRect TOscillographPanel::CloseBox() const {
    return QRect(width() - Bezel - 13, Bezel + 1, 12, 12);
}

void TOscillographPanel::paintEvent(QPaintEvent*) {
    // The instrument's case: a dark bezel with the caption strip at its top.
    QPainter p(this);
    p.fillRect(rect(), QColor(18, 19, 21));
    p.setPen(QColor(70, 74, 80));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    QLinearGradient strip(0, Bezel, 0, Bezel + CaptionHeight);
    strip.setColorAt(0, QColor(86, 90, 98));
    strip.setColorAt(1, QColor(44, 47, 52));
    p.fillRect(QRect(Bezel, Bezel, width() - 2 * Bezel, CaptionHeight), strip);
    p.setFont(PanelFont(10, true));
    p.setPen(QColor(232, 232, 228));
    p.drawText(QRect(Bezel + 5, Bezel, width() - 40, CaptionHeight),
               Qt::AlignVCenter | Qt::AlignLeft, windowTitle());
    const QRect box = CloseBox();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(232, 232, 228), 1.5));
    p.drawLine(QPointF(box.left() + 2.5, box.top() + 2.5),
               QPointF(box.right() - 1.5, box.bottom() - 1.5));
    p.drawLine(QPointF(box.right() - 1.5, box.top() + 2.5),
               QPointF(box.left() + 2.5, box.bottom() - 1.5));
}

void TOscillographPanel::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    if (CloseBox().contains(e->position().toPoint())) {
        close();
        return;
    }
    Moving = true;
    MovePoint = e->position().toPoint();
}

void TOscillographPanel::mouseMoveEvent(QMouseEvent* e) {
    if (Moving) move(pos() + e->position().toPoint() - MovePoint);
}

void TOscillographPanel::mouseReleaseEvent(QMouseEvent*) {
    Moving = false;
}

// --- The leads' sockets
// ------------------------------------------------------------------------------

bool TOscillographPanel::LeadSocket(int inputNumber, bool isRed, QWidget*& parent,
                                    QPoint& position) const {
    if (inputNumber == 3) {
        parent = GroupBox1;
        position = QPoint((isRed ? Image2 : Image3)->x(), LeadTop);
        return true;
    }
    if (inputNumber == 4) {
        parent = GroupBox3;
        position = QPoint((isRed ? Image5 : Image4)->x() - 12, LeadTop);
        return true;
    }
    return false;
}

bool OscilloscopeLeadSocket(int inputNumber, bool isRed, QWidget*& parent, QPoint& position) {
    return OscilloscopePanel && OscilloscopePanel->LeadSocket(inputNumber, isRed, parent, position);
}

// --- The screen
// ---------------------------------------------------------------------------------------

void TOscillographPanel::LayoutScreen() {
    Model.Layout(Image1->width(), Image1->height());
    BackBuffer = QImage(Model.Width(), Model.Height(), QImage::Format_RGB32);
    Screen = QImage(Model.Width(), Model.Height(), QImage::Format_RGB32);
    BackBuffer.fill(Qt::black);
    Screen.fill(Qt::black);
    BuffersPresent = true;
    Timer->setInterval(TimerInterval);
    SegmentStart = 0;
    SegmentLength = SegmentLimit = 70;
    SegmentStep = 69;
}

void TOscillographPanel::DrawGraticule() {
    const int n = Model.Width(), h = Model.Height();
    const int cx = Model.CentreColumn(), cy = Model.CentreRow();
    const int tick = TScopeModel::TickSpacing;
    const int axisA = Model.Axis(0), axisB = Model.Axis(1);
    BackBuffer.fill(Qt::black);
    QPainter p(&BackBuffer);
    p.setPen(QColor(0, 128, 0));
    for (int i = 0; i <= axisA / tick; ++i) {
        if (i % 3) continue;
        for (int y : {axisA - tick * i, axisA + tick * i, axisB - tick * i, axisB + tick * i})
            p.drawLine(0, y, n - 1, y);
    }
    for (int i = 1; i <= cx / tick; ++i) {
        if (i % 3) continue;
        for (int x : {cx - tick * i, cx + tick * i})
            p.drawLine(x, 0, x, h - 1);
    }
    p.setPen(QColor(255, 255, 0));
    p.drawLine(cx, 0, cx, h - 1);
    for (int i = 0; i <= cy / tick; ++i)
        for (int y : {cy - tick * i, cy + tick * i})
            p.drawLine(cx - 2, y, cx + 2, y);
    for (int axis : {axisA, axisB}) {
        p.drawLine(0, axis, n - 1, axis);
        for (int j = 1; j <= cx / tick; ++j)
            for (int x : {cx - tick * j, cx + tick * j})
                p.drawLine(x, axis - 2, x, axis + 2);
    }
    p.end();
    std::memcpy(Screen.bits(), BackBuffer.constBits(), size_t(BackBuffer.sizeInBytes()));
    Image1->update();
}

void TOscillographPanel::SetConstantRay(bool on) {
    mnuIsConstRay->setChecked(on);
    Draw = on ? TDraw::WholeTrace : TDraw::MovingBeam;
}

void TOscillographPanel::SetThreadedDisplay(bool on) {
    mnuIsThreadedDisplay->setChecked(on);
    Threaded = on;
    if (on) {
        Timer->stop();
        DrawThread->Resume();
    } else {
        DrawThread->Suspend();
        Timer->start();
    }
}

void TOscillographPanel::SetRealScanning(bool on) {
    mnuRealScanning->setChecked(on);
    RealScan = on;
}

void TOscillographPanel::SetSegmentLength(int length) {
    SegmentLength = SegmentLimit = std::max(length, 1);
}

void TOscillographPanel::SetSegmentStep(int step) {
    SegmentStep = std::min(SegmentLimit, step);
}

void TOscillographPanel::TimerTimer() {
    RunFrame();
}

void TOscillographPanel::ThreadFrame() {
    if (Threaded && DrawThread && !DrawThread->Suspended()) RunFrame();
    if (DrawThread) DrawThread->FrameDone();
}

void TOscillographPanel::RunFrame() {
    if (Draw == TDraw::WholeTrace)
        DrawWholeTrace();
    else if (Draw == TDraw::MovingBeam)
        DrawMovingBeam();
}

void TOscillographPanel::BeginFrame() {
    std::memcpy(Screen.bits(), BackBuffer.constBits(), size_t(BackBuffer.sizeInBytes()));
}

void TOscillographPanel::EndFrame() {
    Image1->update();
    if (FrameObserver) FrameObserver();
}

void TOscillographPanel::DrawWholeTrace() {
    if (!BuffersPresent) return;
    BeginFrame();
    QPainter p(&Screen);
    p.setPen(BeamColour);
    const int n = Model.Width();
    if (Model.IsTriggered()) {
        for (int c = 0; c < 2; ++c)
            p.drawPolyline(Model.Trace(c).data(), n);
    } else {
        for (int c = 0; c < 2; ++c)
            for (int k = 0; k < Model.GhostTraces(c); ++k) {
                p.drawPolyline(Model.Ghost(c, k).data(), n);
                Model.DriftGhost(c, k);
            }
    }
    p.end();
    EndFrame();
}

void TOscillographPanel::DrawMovingBeam() {
    if (!BuffersPresent) return;
    BeginFrame();
    QPainter p(&Screen);
    p.setPen(BeamColour);
    const int n = Model.Width();
    if (Model.IsTriggered()) {
        if (SegmentStart < 0 || SegmentStart >= n) SegmentStart = 0;
        const int length =
            SegmentStart + SegmentLength + 1 > n ? n - SegmentStart - 1 : SegmentLength;
        for (int c = 0; c < 2; ++c)
            p.drawPolyline(Model.Trace(c).data() + SegmentStart, length + 1);
        SegmentStart += SegmentStep;
        if (length < SegmentLength) SegmentStart = 0;
    } else {
        for (int c = 0; c < 2; ++c)
            for (int k = 0; k < Model.GhostTraces(c); ++k)
                p.drawPolyline(Model.Ghost(c, k).data(), n);
    }
    p.end();
    EndFrame();
}

// --- The main window's button
// ------------------------------------------------------------------------

TOscillographPanel* ShowNewOscilloscope(QWidget* mainWindow) {
    if (OscilloscopePanel) return nullptr;
    TOscillographPanel* panel = nullptr;
    try {
        panel = new TOscillographPanel(mainWindow);
        panel->SetConstantRay(true);
        panel->SetThreadedDisplay(false);
        panel->SetRealScanning(false);
        panel->show();
    } catch (...) {
        // The button's errors are swallowed: at worst no oscilloscope appears.
        panel = nullptr;
    }
    return panel;
}
