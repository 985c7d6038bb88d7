#include "shell/Workshop.h"
#include "platform/SchemeChannel.h"

#include "board/Frmwork.h"
#include "board/Host.h"
#include "components/Dragiron.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "document/Scheme.h"
#include "instruments/Oscpanel.h"
#include "instruments/Pribor.h"
#include "shell/Global.h"
#include "shell/Helpwindow.h"
#include "shell/Wiring.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>
#include <QWindow>
#include <typeinfo>

TWorkshopForm* WorkshopForm = nullptr;

namespace {
constexpr int TitleHeight = 33;
constexpr int ControlBarHeight = 80;
constexpr int SplitterHeight = 2;
constexpr int StatusHeight = 27;
constexpr int BoxWidth = 112;
const QColor ControlBarColour(45, 140, 36);

// The parts box: kind, hint string, picture stem, row, column.
struct TBoxEntry {
    quint8 Kind;
    long Hint;
    const char* Stem;
    int Row;
    int Column;
};
const TBoxEntry BoxEntries[] = {
    // text ids: 130-143
    {KindResistor, 130, "Resistor", 0, 0},
    {KindProtector, 131, "Protector", 0, 1},
    {KindCondensator, 132, "Condensator", 1, 0},
    {KindInductance, 133, "Inductance", 1, 1},
    {KindWire, 134, "Wire", 2, 0},
    {KindSwitch, 135, "Switch", 2, 1},
    {KindBattery, 136, "Battery", 3, 0},
    {KindGenerator, 137, "Generator", 3, 1},
    {KindLamp, 138, "Lamp", 4, 0},
    {KindHeater, 139, "Heater", 4, 1},
    {KindConductor, 140, "Conductor", 5, 0},
    {KindBlackBug, 141, "BlackBug", 5, 1},
    {KindVResistor, 142, "VResistor", 6, 0},
    {KindVCondensator, 143, "VCondensator", 6, 1},
};
const int BoxRowTops[] = {0, 57, 114, 171, 227, 284, 341};

QString ShortHint(const QString& hint) {
    return hint.section('|', 0, 0);
}
QString LongHint(const QString& hint) {
    const qsizetype bar = hint.indexOf('|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

// The first calculator program installed on this machine.
QString FindCalculator() {
    for (const char* name :
         {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc"}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) return path;
    }
    return QString();
}

QIcon GlyphIcon(const QString& name) {
    if (!HasBitmapResource(name)) return QIcon();
    const QImage strip = LoadTransparentBitmap(name);
    const int w = strip.width() / 4;
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(strip.copy(0, 0, w, strip.height())), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(strip.copy(w, 0, w, strip.height())), QIcon::Disabled);
    icon.addPixmap(QPixmap::fromImage(strip.copy(2 * w, 0, w, strip.height())), QIcon::Active);
    icon.addPixmap(QPixmap::fromImage(strip.copy(3 * w, 0, w, strip.height())), QIcon::Selected);
    return icon;
}
} // namespace

// --- The parts box ----------------------------------------------------------------------------

TBoxItem::TBoxItem(TWorkshopForm* form, quint8 kind, const QString& stem, long hintId)
    : QLabel(form->imgToolBar), Tag(kind), Form(form) {
    Closed = LoadTransparentBitmap("bmp" + stem + "BoxClosed");
    Opened = LoadTransparentBitmap("bmp" + stem + "BoxOpened");
    setPixmap(QPixmap::fromImage(Closed));
    setFixedSize(56, 57);
    setCursor(CursorByNumber(112));
    setProperty("hint", GetText(hintId));
    setToolTip(ShortHint(GetText(hintId)));
}

void TBoxItem::mousePressEvent(QMouseEvent* e) {
    setPixmap(QPixmap::fromImage(Opened));
    PressPoint = e->position().toPoint();
    Pressed = true;
}

void TBoxItem::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (Pressed &&
        (std::abs(p.x() - PressPoint.x()) > 10 || std::abs(p.y() - PressPoint.y()) > 10)) {
        Pressed = false;
        Dragging::BeginDrag(this, e->globalPosition().toPoint());
    }
}

void TBoxItem::mouseReleaseEvent(QMouseEvent*) {
    setPixmap(QPixmap::fromImage(Closed));
    Pressed = false;
}

void TBoxItem::StartDrag(TDragObject*& dragObject) {
    TIron* part = Form->TakePartFromBox(Tag);
    // The part has left the box (or none may be taken): the drawer closes either way.
    setPixmap(QPixmap::fromImage(Closed));
    if (!part) {
        Dragging::CancelDrag();
        return;
    }
    dragObject = new TDragIron(part);
}

void TBoxItem::EndDrag(QWidget*, int, int) {
    setPixmap(QPixmap::fromImage(Closed));
}

// --- The trash can ----------------------------------------------------------------------------

TTrashCan::TTrashCan(TWorkshopForm* form) : QLabel(form) {
    // A copy of the picture, pixel by pixel, shown at its own size.
    const QImage picture = LoadTransparentBitmap("bmpTrashcan").copy();
    setPixmap(QPixmap::fromImage(picture));
    setFixedSize(picture.size());
}

void TTrashCan::DragOver(TDragObject* source, int, int, bool& accept) {
    accept = source && typeid(*source) == typeid(TDragIron);
}

void TTrashCan::DragDrop(TDragObject* source, int, int) {
    auto* drag = dynamic_cast<TDragIron*>(source);
    if (drag && drag->Iron && WorkshopForm) WorkshopForm->DisposeIntoTrash(drag->Iron);
}

// --- Construction -------------------------------------------------------------------------------

TWorkshopForm::TWorkshopForm(QWidget* parent) : QWidget(parent) {
    WorkshopForm = this;
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setMouseTracking(true);

    RegisterCursor(111, BitmapToCursor(LoadTransparentBitmap("curArm")));
    RegisterCursor(112, BitmapToCursor(LoadTransparentBitmap("curPincers")));
    RegisterCursor(crHandPoint, BitmapToCursor(LoadTransparentBitmap("curPoint")));

    imgTitleBackground = new QLabel(this);
    imgTitleBackground->setScaledContents(true);
    imgTitleBackground->setPixmap(QPixmap::fromImage(LoadTransparentBitmap("bmpTitleBackground")));
    lblTitle = new QLabel(this);
    lblTitle->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblTitle->setStyleSheet(
        "color: yellow; font: bold underline 11pt 'Arial'; background: transparent;");
    imgMinimize = new QLabel(this);
    imgMinimize->setPixmap(QPixmap::fromImage(LoadTransparentBitmap("bmpMinimize")));
    imgMinimize->setFixedSize(17, 17);
    imgMinimize->setCursor(CursorByNumber(crHandPoint));
    imgMinimize->installEventFilter(this);

    ControlBar = new QWidget(this);
    ControlBar->setAutoFillBackground(true);
    QPalette bar = ControlBar->palette();
    bar.setColor(QPalette::Window, ControlBarColour);
    ControlBar->setPalette(bar);
    lineSplitter = new QWidget(this);
    lineSplitter->setStyleSheet("background: white;");

    StatusBar = new QLabel(this);
    StatusBar->setStyleSheet("color: white; background: transparent; font: 10pt 'Arial';");
    StatusBar->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    SetFileName(QString());
    SchemeSaved = true;

    Board = new TFramework(this);
    Select(nullptr);

    Background = LoadJpegResource("jpgBackground");
    if (Background.isNull()) Background = LoadTransparentBitmap("bmpBackground");

    if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());

    imgTrashcan = new TTrashCan(this);
    imgTrashcan->setProperty("hint", GetText(150));
    imgTrashcan->setToolTip(ShortHint(GetText(150)));
    imgTrashcan->installEventFilter(this);

    // The command buttons, left to right, with gaps between the groups.
    int x = 6;
    auto gap = [&x] { x += 12; };
    btnReadFile = AddButton("btnReadFile", 110, "bmpBtnReadFile", x);
    btnWriteFile = AddButton("btnWriteFile", 111, "bmpBtnWriteFile", x);
    btnDeleteAll = AddButton("btnDeleteAll", 113, "bmpBtnDeleteAll", x);
    gap();
    btnMultimeter = AddButton("btnMultimeter", 114, "bmpBtnMultimeter", x);
    btnOscillograph = AddButton("btnOscillograph", 124, "bmpBtnOscillograph", x);
    gap();
    btnFloatControl = AddButton("btnFloatControl", 115, "bmpBtnFloatControl", x);
    btnIronState = AddButton("btnIronState", 116, "bmpBtnIronState", x);
    gap();
    btnHelpReference = AddButton("btnHelpReference", 118, "bmpBtnHelpReference", x);
    btnHelpLabs = AddButton("btnHelpLabs", 119, "bmpBtnHelpLabs", x);
    btnHelp = AddButton("btnHelp", 120, "bmpBtnHelp", x);
    gap();
    btnOptions = AddButton("btnOptions", 117, "bmpBtnOptions", x);
    btnCalc = AddButton("btnCalc", 121, "bmpBtnCalc", x);
    gap();
    btnAbout = AddButton("btnAbout", 122, "bmpBtnAbout", x);
    gap();
    btnExit = AddButton("btnExit", 123, "bmpBtnExit", x);

    connect(btnReadFile, &QToolButton::clicked, this, &TWorkshopForm::btnReadFileClick);
    connect(btnWriteFile, &QToolButton::pressed, this, [this] {
        // Shift held on the press makes this Save a Save As.
        if (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) SaveAsRequested = true;
    });
    connect(btnWriteFile, &QToolButton::clicked, this, &TWorkshopForm::btnWriteFileClick);
    connect(btnDeleteAll, &QToolButton::clicked, this, &TWorkshopForm::btnDeleteAll_OnClick);
    connect(btnMultimeter, &QToolButton::clicked, this, [this] {
        // It shows the hourglass and swallows failures.
        if (Windows.CreateMultimeter) Windows.CreateMultimeter();
        UpdateCommandButtons();
    });
    connect(btnOscillograph, &QToolButton::clicked, this, [this] {
        try {
            if (Windows.CreateOscilloscope) Windows.CreateOscilloscope();
        } catch (...) {
        }
        UpdateCommandButtons();
    });
    connect(btnFloatControl, &QToolButton::clicked, this, &TWorkshopForm::btnFloatControlClick);
    connect(btnIronState, &QToolButton::clicked, this, &TWorkshopForm::btnIronStateClick);
    connect(btnHelpReference, &QToolButton::clicked, this, &TWorkshopForm::btnHelpReferenceClick);
    connect(btnHelpLabs, &QToolButton::clicked, this, &TWorkshopForm::btnHelpLabsClick);
    connect(btnHelp, &QToolButton::clicked, this, &TWorkshopForm::btnHelpClick);
    connect(btnOptions, &QToolButton::clicked, this, [this] {
        if (Windows.ShowOptions) Windows.ShowOptions();
    });
    connect(btnCalc, &QToolButton::clicked, this, &TWorkshopForm::btnCalcOnClick);
    connect(btnAbout, &QToolButton::clicked, this, [this] {
        if (Windows.ShowAbout) Windows.ShowAbout();
    });
    connect(btnExit, &QToolButton::clicked, this, &QWidget::close);

    CalculatorPath = FindCalculator();
    btnCalc->setEnabled(!CalculatorPath.isEmpty());

    imgToolBar = new QLabel(this);
    imgToolBar->setScaledContents(true);
    imgToolBar->setPixmap(QPixmap::fromImage(LoadTransparentBitmap("bmpToolBar")));
    for (const TBoxEntry& entry : BoxEntries) {
        auto* item = new TBoxItem(this, entry.Kind, entry.Stem, entry.Hint);
        item->installEventFilter(this);
        item->setEnabled(KindAvailable(entry.Kind));
        BoxItems << item;
    }

    TimerCat = new QTimer(this);
    TimerCat->setInterval(120);
    connect(TimerCat, &QTimer::timeout, this, &TWorkshopForm::OnTimer);
    TimerCat->start();

    UpdateCommandButtons();
    LayOut();
}

TWorkshopForm::~TWorkshopForm() {
    // The meters' elements and the parts leave their nodes before the board goes.
    for (QPointer<TPriborPanel>& panel : MultimeterPanels)
        delete panel.data();
    delete OscilloscopePanel.data();
    DestroyAllParts();
    UnjoinWindows(this);
    if (WorkshopForm == this) WorkshopForm = nullptr;
}

void TWorkshopForm::StartListening() {
    if (SchemeServer) return;
    SchemeServer = new QLocalServer(this);
    // A name left behind by a workbench that crashed is taken over; a running one keeps it.
    QLocalSocket probe;
    probe.connectToServer(LoadSchemeServerName());
    if (!probe.waitForConnected(200)) QLocalServer::removeServer(LoadSchemeServerName());
    probe.abort();
    // Only the user's own programs may hand this workbench a scheme.
    SchemeServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!SchemeServer->listen(LoadSchemeServerName())) return;
    connect(SchemeServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = SchemeServer->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) return;
                const QString name = QString::fromUtf8(socket->readLine()).trimmed();
                socket->write("ok\n");
                socket->disconnectFromServer();
                // The load runs from the event loop once this handler has returned: its message
                // boxes run nested event loops, in which the socket is deleted as it
                // disconnects, and the handler must not return into a deleted socket.
                QMetaObject::invokeMethod(
                    this, [this, name] { LoadSchemeByName(name); }, Qt::QueuedConnection);
            });
        }
    });
}

QString TWorkshopForm::LoadSchemeServerName() {
    return LoadSchemeSocketName();
}

QToolButton* TWorkshopForm::AddButton(const QString& name, long hintId, const QString& glyph,
                                      int& x) {
    auto* b = new QToolButton(ControlBar);
    b->setObjectName(name);
    b->setGeometry(x, (ControlBarHeight - 54) / 2, 55, 54);
    b->setAutoRaise(true);
    b->setIcon(GlyphIcon(glyph));
    b->setIconSize(QSize(44, 44));
    b->setCursor(CursorByNumber(crHandPoint));
    SetHint(b, GetText(hintId));
    b->installEventFilter(this);
    x += 55;
    return b;
}

void TWorkshopForm::SetHint(QWidget* w, const QString& hint) {
    w->setProperty("hint", hint);
    w->setToolTip(ShortHint(hint));
}

void TWorkshopForm::ShowLongHint(const QString& hint) {
    StatusBar->setText("   " + LongHint(hint));
}

// --- Layout and painting ----------------------------------------------------------------------

void TWorkshopForm::LayOut() {
    const int w = width(), h = height();
    imgTitleBackground->setGeometry(0, 0, w, TitleHeight);
    lblTitle->move(8, 8);
    ControlBar->setGeometry(0, TitleHeight, w, ControlBarHeight);
    lineSplitter->setGeometry(0, TitleHeight + ControlBarHeight, w, SplitterHeight);
    StatusBar->setGeometry(0, h - StatusHeight, w, StatusHeight);

    const int boxTop = TitleHeight + ControlBarHeight + SplitterHeight;
    imgToolBar->setGeometry(w - BoxWidth, boxTop, BoxWidth, h - boxTop - StatusHeight);
    for (int i = 0; i < BoxItems.size(); ++i)
        BoxItems[i]->move(56 * BoxEntries[i].Column, BoxRowTops[BoxEntries[i].Row]);

    imgTrashcan->move(15, StatusBar->y() - imgTrashcan->height() - 15);

    // The gap between board and parts box equals the board's distance below the tool bar.
    const int boardTop = (h + ControlBarHeight + TitleHeight - StatusHeight - Board->height()) / 2;
    Board->move(imgToolBar->x() - Board->width() - (boardTop - ControlBarHeight), boardTop);

    imgMinimize->move(imgTitleBackground->width() - imgMinimize->width() - 30, 10);
}

void TWorkshopForm::resizeEvent(QResizeEvent*) {
    LayOut();
}

void TWorkshopForm::paintEvent(QPaintEvent*) {
    if (!OffsetChosen) {
        // A different piece of the bench top every run.
        OffsetChosen = true;
        auto* random = QRandomGenerator::global();
        BackgroundOffset = QPoint(
            Background.width() > width() ? random->bounded(Background.width() - width()) : 0,
            Background.height() > height() ? random->bounded(Background.height() - height()) : 0);
    }
    QPainter p(this);
    if (Background.width() >= width() && Background.height() >= height())
        p.drawImage(QPoint(0, 0), Background, QRect(BackgroundOffset, size()));
    else if (!Background.isNull())
        p.drawTiledPixmap(rect(), QPixmap::fromImage(Background));
}

// --- Messages and events ------------------------------------------------------------------------

bool TWorkshopForm::event(QEvent* e) {
    if (e->type() == CircuitChangedEvent) {
        NotifyCircuitChanged();
        return true;
    }
    return QWidget::event(e);
}

bool TWorkshopForm::eventFilter(QObject* watched, QEvent* e) {
    auto* w = qobject_cast<QWidget*>(watched);
    switch (e->type()) {
    case QEvent::Enter:
        if (w && w->property("hint").isValid()) ShowLongHint(w->property("hint").toString());
        break;
    case QEvent::Leave:
        if (w && w->property("hint").isValid()) ShowLongHint(QString());
        break;
    case QEvent::ToolTip:
        if (watched == btnHelpReference && !ReferenceSoundPlayed) {
            ReferenceSoundPlayed = true;
            PlayWaveResource("wavOnReference");
        } else if (watched == btnHelp) {
            PlayWaveResource("wavOnHelp");
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == imgMinimize) showMinimized();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, e);
}

void TWorkshopForm::mousePressEvent(QMouseEvent* e) {
    // A click on the bench deselects: the parameters panel then offers no page, since its
    // values would reach no part, and the state window is blank.
    Select(nullptr);
    QWidget::mousePressEvent(e);
}

void TWorkshopForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete) {
        mnuOnDelete();
        return;
    }
    if (SelectedPart && !e->text().isEmpty()) {
        const QChar key = e->text().at(0);
        // The same key on the Latin and the Cyrillic layout.
        const bool r = QString("RrКк").contains(key);
        const bool c = QString("CcСс").contains(key);
        if ((SelectedPart->Kind == KindVResistor && r) ||
            (SelectedPart->Kind == KindVCondensator && c)) {
            SelectedPart->KeyCommand(key);
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

void TWorkshopForm::OnTimer() {
    Board->Tick();
    // A window button is held for one tick after a press, so that a double press does not show
    // and hide its window at once; then it can hide the window it showed.
    if (!btnFloatControl->isEnabled() && Windows.FloatControlWindow)
        btnFloatControl->setEnabled(true);
    if (!btnIronState->isEnabled() && Windows.IronStateWindow) btnIronState->setEnabled(true);
}

// Buttons whose windows do not exist (yet) cannot be pressed.
void TWorkshopForm::UpdateCommandButtons() {
    btnMultimeter->setEnabled(Windows.CreateMultimeter &&
                              !(Windows.MultimeterSlotsFull && Windows.MultimeterSlotsFull()));
    btnOscillograph->setEnabled(Windows.CreateOscilloscope && !OscilloscopePanel);
    btnOptions->setEnabled(bool(Windows.ShowOptions));
    btnAbout->setEnabled(Windows.ShowAbout && Windows.AboutWindow);
    if (!Windows.FloatControlWindow) btnFloatControl->setEnabled(false);
    if (!Windows.IronStateWindow) btnIronState->setEnabled(false);
}

// --- The document ------------------------------------------------------------------------------

void TWorkshopForm::SetFileName(const QString& name) {
    FileName = name;
    QString caption = GetText(100) + " : ";
    QString saveHint = GetText(111);
    if (!name.isEmpty()) {
        QString base = name.section('/', -1);
        const qsizetype dot = base.lastIndexOf('.');
        if (dot >= 0) base.truncate(dot);
        caption += base;
        saveHint += base + ".workbench";
    } else {
        caption += GetText(101);
    }
    setWindowTitle(caption);
    lblTitle->setText(caption);
    lblTitle->adjustSize();
    if (btnWriteFile) SetHint(btnWriteFile, saveHint);
}

void TWorkshopForm::btnReadFileClick() {
    TFileDialogRequest request;
    request.Title = GetText(721);
    request.Filter = GetText(723);
    request.Folder = SchemesFolder;
    request.Places = SchemePlaces();
    request.DefaultSuffix = "workbench";
    request.Owner = this;
    const QString chosen = AskFileName(request);
    if (chosen.isEmpty()) return;
    SetFileName(chosen);
    // A file that could not be loaded leaves an empty board, which is not that file: a later
    // Save must ask for a name rather than write the empty board over it.
    if (LoadScheme(FileName) != TLoadResult::Loaded) SetFileName(QString());
    SchemeSaved = true;
}

bool TWorkshopForm::SaveCommand() {
    // The scheme keeps its old name until a save under the new one has succeeded: a name that
    // could not be written would make every later Save fail the same way.
    QString target = FileName;
    bool always = false; // Save As writes even an unchanged scheme
    if (SaveAsRequested || FileName.isEmpty()) {
        SaveAsRequested = false;
        TFileDialogRequest request;
        request.Save = true;
        request.Title = GetText(722);
        request.Filter = GetText(723);
        // The user's schemes folder comes into being with the first scheme saved there.
        QDir().mkpath(SchemesFolder);
        request.Folder = SchemesFolder;
        request.Places = SchemePlaces();
        request.DefaultSuffix = "workbench";
        request.Owner = this;
        const QString chosen = AskFileName(request);
        if (chosen.isEmpty()) return false;
        target = chosen;
        always = true;
    }
    if (SchemeSaved && !always) return true;
    QString error;
    if (!SaveScheme(target, &error)) {
        ShowMessage(GetText(609) + target + "\n" + error, GetText(610), TMsgButtons::Ok,
                    TMsgIcon::Error, this);
        return false;
    }
    if (always) SetFileName(target);
    SchemeSaved = true;
    return true;
}

void TWorkshopForm::btnWriteFileClick() {
    SaveCommand();
}

QStringList TWorkshopForm::SchemePlaces() const {
    // The student's own schemes, the ready-made labs and the home folder, whichever folder the
    // dialog is in.
    QStringList places;
    for (const QString& folder : {SchemesFolder, QString("Labs"), QDir::homePath()})
        if (QFileInfo(folder).isDir()) places << QFileInfo(folder).absoluteFilePath();
    places.removeDuplicates();
    return places;
}

void TWorkshopForm::btnDeleteAll_OnClick() {
    if (ShowMessage(GetText(605), GetText(606), TMsgButtons::YesNo, TMsgIcon::Question) == IdNo)
        return;
    ClearBoard();
    SetFileName(QString());
    SchemeSaved = true;
}

QString TWorkshopForm::SchemePathFor(const QString& name) {
    QString path = name.contains('/') ? name : "Labs/" + name;
    if (!name.contains('.')) path += ".workbench";
    return path.size() > 255 ? QString() : path;
}

void TWorkshopForm::LoadSchemeByName(const QString& name) {
    if (isMinimized()) showNormal();
    activateWindow();
    raise();
    update();
    const QString path = SchemePathFor(name);
    if (path.isEmpty()) return; // too long to be a scheme name
    if (!SchemeSaved) {
        // Another program must not throw the student's unsaved work away unasked.
        const int answer = ShowMessage(GetText(617) + path + "\n\n" + GetText(604), GetText(618),
                                       TMsgButtons::YesNoCancel, TMsgIcon::Question, this);
        if (answer == IdCancel) return;
        if (answer == IdYes && !SaveCommand()) return;
    }
    SetFileName(QString());
    LoadScheme(path);
}

// --- Parts in and out ---------------------------------------------------------------------------

TIron* TWorkshopForm::TakePartFromBox(quint8 kind) {
    if (Parts.size() >= 60) {
        ShowMessage(GetText(602), GetText(601), TMsgButtons::Ok, TMsgIcon::None, this);
        return nullptr;
    }
    return CreatePart(kind, TPartOrigin::PartsBox);
}

void TWorkshopForm::SetBoxItemEnabled(quint8 kind, bool enabled) {
    for (TBoxItem* item : BoxItems)
        if (item->Tag == kind) item->setEnabled(enabled);
}

void TWorkshopForm::DisposeIntoTrash(TIron* part) {
    Board->DisposeOfPart(part, true);
}

void TWorkshopForm::mnuOnDelete() {
    TIron* part = SelectedPart;
    if (!part) return;
    Board->ShowOnTrashCan(part);
    Wait(500);
    // The sound of this command is heard on its first use in a run only.
    Board->DisposeOfPart(part, !TrashSoundPlayed);
    TrashSoundPlayed = true;
}

// --- Windows and programs
// -------------------------------------------------------------------------

void TWorkshopForm::OpenHelp(const QString& folder) {
    // HELP lies in the program's data folder, the working directory since start-up. The pages
    // open in the program's own help window: a machine without a web browser has help too.
    ShowHelpPage("HELP/" + folder + "index.htm", this);
}

void TWorkshopForm::btnHelpReferenceClick() {
    OpenHelp("Refs/");
}
void TWorkshopForm::btnHelpLabsClick() {
    OpenHelp("Labs/");
}
void TWorkshopForm::btnHelpClick() {
    OpenHelp(QString());
}

void TWorkshopForm::btnCalcOnClick() {
    if (CalculatorPath.isEmpty()) return;
    QProcess::startDetached(CalculatorPath, {});
    Wait(2000); // the calculator comes up above the full-screen bench
}

void TWorkshopForm::btnFloatControlClick() {
    btnFloatControl->setEnabled(false);
    if (!Windows.FloatControlWindow) return;
    if (Windows.FloatControlWindow->isVisible()) {
        Windows.FloatControlWindow->hide();
    } else {
        PlayWaveResource("wavComeOn");
        Windows.FloatControlWindow->show();
    }
}

void TWorkshopForm::btnIronStateClick() {
    btnIronState->setEnabled(false);
    if (!Windows.IronStateWindow) return;
    Windows.IronStateWindow->setVisible(!Windows.IronStateWindow->isVisible());
}

void TWorkshopForm::closeEvent(QCloseEvent* e) {
    Select(nullptr);
    if (!SchemeSaved) {
        const int answer = ShowMessage(GetText(604), GetText(603), TMsgButtons::YesNoCancel);
        if (answer == IdCancel) {
            e->ignore();
            return;
        }
        // A save that was cancelled or failed keeps the program open: nothing is lost.
        if (answer == IdYes) {
            SaveAsRequested = false;
            if (!SaveCommand()) {
                e->ignore();
                return;
            }
        }
    }
    TimerCat->stop();
    DestroyAllParts();
    e->accept();
}
