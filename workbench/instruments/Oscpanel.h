#pragma once
// The two-channel oscilloscope: a tool window inside the main window with the screen on the
// left and four groups of controls: channel A, channel B (gain, vertical shift and the input
// sockets each), the time base (time per division, horizontal shift, brightness) and the
// trigger (level and source: channel A, channel B or the mains).
//
// Each channel is a hidden circuit element (TOscillograph) with its own pair of test leads, a
// 10 MΩ input between the red and the black lead. Whenever the solver hands it a new current
// (or the circuit's frequency changes) it passes its voltage to the panel, which computes the
// traces (TScopeModel). Frames come from a 25 ms timer, or in the separate-display mode from a
// drawing thread that only asks the user-interface thread for each frame: every frame is drawn
// there, never on the thread.
//
// Client area 651 × 178: the screen 280 × 178 on the left, the groups to its right.

#include "components/Iron0.h"
#include "instruments/Scopemodel.h"
#include "instruments/Testlead.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMutex>
#include <QPointer>
#include <QSemaphore>
#include <QThread>
#include <QToolButton>
#include <QWaitCondition>
#include <atomic>
#include <functional>

class QAction;
class QComboBox;
class QMenu;
class QTimer;
class TOscillographPanel;
class TPercentScroller;

// One channel's input: channel 1 is A (leads of input 3), channel 2 is B (input 4).
class TOscillograph : public TIron0 {
    Q_OBJECT
public:
    TOscillograph(TOscillographPanel* panel, int channel);
    ~TOscillograph() override;

    const QPointer<TOscillographPanel> Panel;
    const int Channel;
    QPointer<TTestLead> RedLead;
    QPointer<TTestLead> BlackLead;

    static constexpr double InputResistance = 1E7;

    // Hands the voltage, as peak values, to the panel.
    void UpdateState() override;
    // The leads go where the terminals go.
    void ConnectNodes(TNode* first, TNode* second) override;
    bool RedrawsOnFrequencyChange() const override { return true; }
};

// Asks the user-interface thread for one frame after another, at idle priority, as often as
// the screen can show them; it draws nothing itself. Suspended, it waits without a trace of
// work; told to terminate, it ends its loop at once.
class TOscillographDrawThread : public QThread {
    Q_OBJECT
public:
    explicit TOscillographDrawThread(QObject* parent = nullptr);
    ~TOscillographDrawThread() override;

    void Resume();
    void Suspend();
    // Ends the loop and joins the thread; no frame is asked for afterwards.
    void Terminate();
    bool Suspended() const { return IsSuspended; }
    // The user-interface thread has drawn the frame asked for.
    void FrameDone() { Done.release(); }
    void SetFramePeriod(int ms) { FramePeriod = ms; }

signals:
    void FrameWanted();

protected:
    void run() override;

private:
    QMutex Lock;
    QWaitCondition Wake;
    QSemaphore Done;
    std::atomic<bool> IsSuspended{true};
    std::atomic<bool> Terminated{false};
    std::atomic<int> FramePeriod{16};
};

// A label that answers a click or a double click.
class TClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// A group of controls printed on the front: its caption on a small plate at the top left.
class TScopeGroupBox : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;
    std::function<void(QMouseEvent*)> OnMouseDown;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
};

// A push key of the trigger source: lit while it is the one pressed in.
class TScopeKey : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent*) override;
};

class TOscillographPanel : public QWidget {
    Q_OBJECT
public:
    // Takes the OscilloscopePanel slot; the caller makes sure it is free.
    explicit TOscillographPanel(QWidget* mainWindow);
    ~TOscillographPanel() override;

    static constexpr int ClientWidth = 651;
    static constexpr int ClientHeight = 178;
    static constexpr int ScreenWidth = 280;
    static constexpr int ScreenHeight = 178;
    static constexpr int TimerInterval = 25;
    static constexpr int LeadTop = 64; // where a resting lead lies in its channel's group

    // The controls, by their names.
    QWidget* Image1 = nullptr;           // the screen
    TScopeGroupBox* GroupBox1 = nullptr; // channel A
    TScopeGroupBox* GroupBox2 = nullptr; // time base
    TScopeGroupBox* GroupBox3 = nullptr; // channel B
    TScopeGroupBox* GroupBox4 = nullptr; // trigger
    TClickLabel* Label1 = nullptr;       // gain A
    TClickLabel* Label2 = nullptr;       // gain B
    TClickLabel* Label3 = nullptr;       // shift A
    TClickLabel* Label4 = nullptr;       // shift B
    TClickLabel* Label5 = nullptr;       // time per division
    TClickLabel* Label6 = nullptr;       // level
    TClickLabel* Label7 = nullptr;       // brightness
    TClickLabel* Label8 = nullptr;       // coarse horizontal shift
    TClickLabel* Label10 = nullptr;      // fine horizontal shift
    QLabel* StaticText1 = nullptr;       // "common" over channel A's black socket
    QLabel* StaticText2 = nullptr;       // and over channel B's
    QComboBox* ComboBox1 = nullptr;      // gain A
    QComboBox* ComboBox2 = nullptr;      // gain B
    QComboBox* ComboBox3 = nullptr;      // time per division
    QLabel* Image2 = nullptr;            // channel A's sockets: red, common
    QLabel* Image3 = nullptr;
    QLabel* Image5 = nullptr; // channel B's sockets: red, common
    QLabel* Image4 = nullptr;
    TClickLabel* Image9 = nullptr; // falling slope at level 0
    TClickLabel* Image6 = nullptr; // rising slope at level 0
    TScopeKey* SyncBtnA = nullptr;
    TScopeKey* SyncBtnB = nullptr;
    TScopeKey* SyncBtnNet = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* mnuIsConstRay = nullptr;
    QAction* mnuIsThreadedDisplay = nullptr;
    QAction* mnuRealScanning = nullptr;
    QTimer* Timer = nullptr;

    // The sliders.
    TPercentScroller* FineGainA = nullptr;
    TPercentScroller* ShiftA = nullptr;
    TPercentScroller* FineGainB = nullptr;
    TPercentScroller* ShiftB = nullptr;
    TPercentScroller* BrightnessSlider = nullptr;
    TPercentScroller* FineTime = nullptr;
    TPercentScroller* CoarseShift = nullptr;
    TPercentScroller* FineShift = nullptr;
    TPercentScroller* LevelSlider = nullptr;

    TScopeModel Model;
    double Brightness = 0; // 0..255, the beam's green

    TOscillograph* ChannelA() const { return ElementA; }
    TOscillograph* ChannelB() const { return ElementB; }

    // A channel's new voltage (channel 1 or 2, peak values for an AC channel).
    void SetChannelSignal(int channel, double re, double im);
    void SetSyncSource(int source);
    int SyncSource() const { return Model.SyncSource; }
    bool IsTriggered() const { return Model.IsTriggered(); }

    // The screen.
    void LayoutScreen();
    void DrawGraticule();
    void SetConstantRay(bool on);
    void SetThreadedDisplay(bool on);
    void SetRealScanning(bool on);
    bool ConstantRay() const { return Draw == TDraw::WholeTrace; }
    bool ThreadedDisplay() const { return Threaded; }
    bool RealScanning() const { return RealScan; }
    void SetSegmentLength(int length);
    void SetSegmentStep(int step);
    int SegmentStart = 0;
    int SegmentLength = 70;
    int SegmentLimit = 70;
    int SegmentStep = 69;
    QColor BeamColour{0, 255, 0};
    QImage BackBuffer; // the graticule, drawn once
    QImage Screen;     // what the screen shows: the graticule and the beam of the last frame
    bool TraceBuffersPresent() const { return BuffersPresent; }

    // One frame of the current drawing mode.
    void TimerTimer();
    void DrawWholeTrace();
    void DrawMovingBeam();
    // Called after every frame drawn (tests count frames and watch where they run).
    std::function<void()> FrameObserver;

    // Where the leads of input 3 or 4 rest.
    bool LeadSocket(int inputNumber, bool isRed, QWidget*& parent, QPoint& position) const;

    // The handlers of the controls.
    void ComboBox1Change();
    void ComboBox2Change();
    void ComboBox3Change();
    void FineGainChange(int channel);
    void FineTimeChange();
    void HorizontalShiftChange();
    void LevelChange();
    void BrightnessChange();
    void Label1DblClick();
    void Label2Click();
    void Label3Click();
    void Label4Click();
    void Label5DblClick();
    void Label6DblClick();
    void Label7DblClick();
    void Label8DblClick();
    void Label10DblClick();
    void Image6Click();
    void Image9Click();
    void GroupBox1MouseDown(Qt::MouseButton button, QPoint at);
    void Image1MouseDown(Qt::MouseButton button, QPoint at);
    void Image1MouseMove(QPoint at);
    void Image1MouseUp();

    // The unit part of a list item: its text after the leading number, from its blank on.
    static QString UnitPart(const QString& itemText);
    // The texts of the gain list (26 items) and the time list (32 items).
    static QStringList GainItems();
    static QStringList TimeItems();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    enum class TDraw { None, WholeTrace, MovingBeam };

    void BuildControls();
    void CreateSliders();
    void SelectItem(QComboBox* list, int index);
    void RunFrame();
    void ThreadFrame();
    void BeginFrame();
    void EndFrame();
    void ShowGain(int channel);
    QRect CloseBox() const;

    QPointer<TOscillograph> ElementA;
    QPointer<TOscillograph> ElementB;
    TOscillographDrawThread* DrawThread = nullptr;
    TDraw Draw = TDraw::None;
    bool Threaded = false;
    bool RealScan = false;
    bool BuffersPresent = false;
    bool Moving = false;
    QPoint MovePoint;
    QImage Front;
};

// The one oscilloscope panel, null while there is none.
extern QPointer<TOscillographPanel> OscilloscopePanel;

// Where the oscilloscope keeps the sockets of inputs 3 and 4: the parent the lead rests on and
// its position there; false while there is no oscilloscope panel.
bool OscilloscopeLeadSocket(int inputNumber, bool isRed, QWidget*& parent, QPoint& position);

// The oscilloscope button: a new panel with whole-trace drawing, timer refresh and real
// scanning off, shown. Errors are swallowed; null when none was made.
TOscillographPanel* ShowNewOscilloscope(QWidget* mainWindow);
