#include "components/Iron.h"

#include "board/Frmwork.h"
#include "board/Host.h"
#include "board/Node.h"
#include "components/Dragiron.h"
#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstdlib>

QList<TIron*> Parts;
TIron* SelectedPart = nullptr;
TPanelPort* FloatControlPanel = nullptr;
TStatePort* IronStateForm = nullptr;

namespace {
struct TClassSteps {
    std::function<void()> Startup;
    std::function<void()> Exit;
};
QList<TClassSteps>& ClassSteps() {
    static QList<TClassSteps> steps;
    return steps;
}
} // namespace

void RegisterClassSteps(std::function<void()> startup, std::function<void()> exit) {
    ClassSteps().append({std::move(startup), std::move(exit)});
}

void TPicturePair::Load(const QString& name) {
    Horizontal = LoadTransparentBitmap(name);
    Vertical = LoadTransposedBitmap(name);
    HorizontalCursor = BitmapToCursor(Horizontal);
    VerticalCursor = BitmapToCursor(Vertical);
}

void TPicturePair::CopyTo(TIron& part) const {
    part.HorizontalPicture = Horizontal;
    part.VerticalPicture = Vertical;
    part.HorizontalCursor = HorizontalCursor;
    part.VerticalCursor = VerticalCursor;
    part.ShowOrientationPicture();
}

// --- Construction ------------------------------------------------------------------------------

TIron::TIron(quint8 kind) : TIron0(Framework, "bmpResistor"), Kind(kind) {
    Parts.append(this);
    BoardParts.append(this);
    HoverCursor = 112; // the pincers
    Popup = new QMenu(this);
    // Throwing the part away destroys this menu too: it happens once the menu is done.
    Popup->addAction(GetText(1101), [] {
        QMetaObject::invokeMethod(
            qApp,
            [] {
                if (BenchHost.DeleteSelectedPart) BenchHost.DeleteSelectedPart();
            },
            Qt::QueuedConnection);
    });
    connect(Popup, &QMenu::aboutToShow, this, [this] {
        if (SelectedPart != this) Select(this);
    });
}

TIron::~TIron() {
    Parts.removeOne(this);
    BoardParts.removeOne(this);
    if (SelectedPart == this) Select(nullptr);
}

int TIron::PanelPage() const {
    switch (Kind) {
    case KindWire:
        return 9;
    case KindResistor:
        return 1;
    case KindCondensator:
        return 2;
    case KindInductance:
        return 3;
    case KindBattery:
        return 4;
    case KindGenerator:
        return 5;
    case KindSwitch:
        return 6;
    case KindProtector:
        return 10;
    case KindLamp:
        return 7;
    case KindConductor:
        return 11;
    case KindHeater:
        return 14;
    case KindVResistor:
        return 12;
    case KindVCondensator:
        return 13;
    default:
        return 0;
    }
}

// --- Virtual operations ----------------------------------------------------------------------

void TIron::UpdateState() {
    if (SelectedPart == this) RefreshStateWindow();
}

void TIron::SetHidden(bool hidden) {
    if (hidden == Hidden) return;
    Hidden = hidden;
    update();
}

void TIron::SetRating(double& rating, double value) {
    const double previous = rating;
    rating = std::fabs(value);
    if (rating < previous) NotifyCircuitChanged();
}

void TIron::SetMarkHidden(bool& mark, bool hidden) {
    if (mark == hidden) return;
    mark = hidden;
    TIron::SetHidden(hidden);
}

void TIron::ShowBurnt(const TPicturePair& burnt) {
    burnt.CopyTo(*this);
    PlayWaveResource("wavOnBurnOut");
}

QString HiddenRange(const QString& lower, const QString& lowerUnit, const QString& upper,
                    const QString& upperUnit) {
    return GetText(500) + " " + lower + " " + lowerUnit + " " + GetText(501) + " " + upper + " " +
           upperUnit;
}

void TIron::ShowOrientationPicture() {
    Picture = Vertical ? VerticalPicture : HorizontalPicture;
    resize(Picture.size());
    update();
}

void TIron::ConnectNodes(TNode* first, TNode* second) {
    TIron0::ConnectNodes(first, second);
    if (!first || !second || !Framework) return;
    // A part spans from its first node's centre to the next node, 64 pixels on. The picture of
    // the new orientation is taken first, so the part is centred with its own size.
    if (first->Column == second->Column) {
        Vertical = true;
        ShowOrientationPicture();
        move(*Framework->NodeX(first->Column) - width() / 2,
             *Framework->NodeY(first->Row) + (64 - Picture.height()) / 2);
    } else if (first->Row == second->Row) {
        Vertical = false;
        ShowOrientationPicture();
        move(*Framework->NodeX(first->Column) + (64 - Picture.width()) / 2,
             *Framework->NodeY(first->Row) - height() / 2);
    }
}

void TIron::SaveToFile(QIODevice& file) {
    using namespace SchemeIO;
    WriteByte(file, Kind);
    WriteInt32(file, -1);
    WriteDouble(file, Resistance);
    WriteDouble(file, Inductance);
    WriteDouble(file, Capacitance);
    WriteDouble(file, Emf);
    WriteInt32(file, (Burnt ? 1 : 0) | (Hidden ? 2 : 0));
    WriteInt32(file, IndexOfNode(FirstNode));
    WriteInt32(file, IndexOfNode(SecondNode));
    if (FormatVersion == Version11) {
        static const char zeros[200] = {};
        WriteExact(file, zeros, sizeof zeros);
    }
}

void TIron::LoadFromFile(QIODevice& file) {
    using namespace SchemeIO;
    ReadInt32(file); // the marker
    // Values go through the setters, so each kind's own rules apply to them.
    SetResistance(ReadDouble(file));
    SetInductance(ReadDouble(file));
    SetCapacitance(ReadDouble(file));
    SetEmf(ReadDouble(file));
    const qint32 flags = ReadInt32(file);
    const qint32 first = ReadInt32(file);
    const qint32 second = ReadInt32(file);
    if (first < 0 || first >= Nodes.size() || second < 0 || second >= Nodes.size())
        throw ESchemeIO("a part of the scheme file lies outside the board",
                        TSchemeFault::OffTheBoard);
    const TNode* a = Nodes[first];
    const TNode* b = Nodes[second];
    if (std::abs(a->Row - b->Row) + std::abs(a->Column - b->Column) != 1)
        throw ESchemeIO("a part of the scheme file joins nodes that are not neighbours",
                        TSchemeFault::NotNeighbours);
    BurnOut(flags & 1);
    SetHidden(flags & 2);
    ConnectNodes(Nodes[first], Nodes[second]);
    if (FormatVersion == Version11) Skip(file, 200);
}

bool TIron::EndsReversed() const {
    return FirstNode && SecondNode &&
           (SecondNode->Row < FirstNode->Row || SecondNode->Column < FirstNode->Column);
}

void TIron::TurnEndForEnd() {
    ConnectNodes(SecondNode, FirstNode);
}

// --- Mouse and dragging ---------------------------------------------------------------------

void TIron::OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
    TIron0::OnMouseDown(button, mods, x, y);
    FocusBench();
    Select(this);
}

void TIron::FocusBench() {
    // Keys go to the bench again (a variable part takes R and C), not to a list on the panel.
    QWidget* bench = window();
    if (bench && QApplication::focusWidget() && QApplication::focusWidget() != bench)
        bench->setFocus(Qt::MouseFocusReason);
}

void TIron::OnMouseMove(Qt::KeyboardModifiers mods, int x, int y) {
    TIron0::OnMouseMove(mods, x, y);
    // The hint is rebuilt on every move, so it always shows the present values.
    const QString hint = GetHint();
    if (hint != toolTip()) setToolTip(hint);
}

void TIron::OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
    TIron0::OnMouseUp(button, mods, x, y);
    if (button == Qt::RightButton) Popup->popup(mapToGlobal(QPoint(x, y)));
}

void TIron::OnDblClick() {
    if (BenchHost.ShowParametersPanel) BenchHost.ShowParametersPanel();
}

void TIron::OnStartDrag(TDragObject*& dragObject) {
    TIron0::OnStartDrag(dragObject);
    PlayWaveResource("wavOnPull");
    TIron0::ConnectNodes(nullptr, nullptr); // off the board while it travels
    dragObject = new TDragIron(this);
    NotifyCircuitChanged(); // solve without the part
}

void TIron::OnDragOver(TDragObject* source, int x, int y, bool& accept) {
    if (Framework) Framework->OnDragOver(source, x + this->x(), y + this->y(), accept);
}

void TIron::OnDragDrop(TDragObject* source, int x, int y) {
    if (Framework) Framework->OnDragDrop(source, x + this->x(), y + this->y());
}

void TIron::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Picture); // the picture of the present orientation
    if (SelectedPart != this) return;
    // The selected part's two terminals are marked with yellow dots.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(Qt::yellow);
    const int w = width();
    const int h = w / 2;
    if (Vertical) {
        p.drawEllipse(QRect(QPoint(h - 5, 0), QPoint(h + 4 - 1, 9 - 1)));
        p.drawEllipse(QRect(QPoint(h - 5, height() - 9), QPoint(h + 4 - 1, height() - 1)));
    } else {
        const int mid = height() / 2;
        p.drawEllipse(QRect(QPoint(0, mid - 5), QPoint(9 - 1, mid + 4 - 1)));
        p.drawEllipse(QRect(QPoint(w - 8, mid - 5), QPoint(w - 1, mid + 4 - 1)));
    }
}

// --- Class operations -------------------------------------------------------------------------

void TIron::ExecuteStartups() {
    if (BenchHost.ShowLoadingWindow) BenchHost.ShowLoadingWindow(true);
    for (const TClassSteps& steps : ClassSteps())
        if (steps.Startup) steps.Startup();
    if (BenchHost.ShowLoadingWindow) BenchHost.ShowLoadingWindow(false);
}

void TIron::ExecuteExits() {
    for (const TClassSteps& steps : ClassSteps())
        if (steps.Exit) steps.Exit();
}

std::mt19937& PartRandom() {
    static std::mt19937 engine{std::random_device{}()};
    return engine;
}

void SeedPartRandom(quint32 seed) {
    PartRandom().seed(seed);
}

double TIron::GetRandomDouble(double a, double b) {
    const int k = std::uniform_int_distribution<int>(0, 1000)(PartRandom());
    const double t = k * 0.001;
    const double x = (1 - t) * b + t * a;
    // Two significant digits: printed with one decimal in exponent form and read back.
    char text[64];
    std::snprintf(text, sizeof text, "%.1lE", x);
    return std::strtod(text, nullptr);
}

// --- Selection and the windows that show it ------------------------------------------------------

void DestroyAllParts() {
    while (!Parts.isEmpty())
        delete Parts.first();
}

void Select(TIron* part) {
    if (part == SelectedPart) return;
    TIron* previous = SelectedPart;
    SelectedPart = part;
    if (previous) previous->update();
    if (part) part->update();
    FillParametersPanel();
    RefreshStateWindow();
}

void RefreshStateWindow() {
    if (!IronStateForm) return;
    TIron* p = SelectedPart;
    if (!p) {
        for (int row = 1; row <= 4; ++row)
            for (int column = 1; column <= 2; ++column)
                IronStateForm->SetCell(column, row, QString());
        return;
    }
    const TComplex z = p->GetImpedance();
    const double voltage = p->StateShowsEmf() ? p->GetEmf() : p->Voltage.real();
    IronStateForm->SetCell(1, 1, FormatValue(z.real()) + " Ом");
    IronStateForm->SetCell(2, 1, FormatValue(z.imag()) + " Ом");
    IronStateForm->SetCell(1, 2, FormatValue(p->Current.real()) + " А");
    IronStateForm->SetCell(2, 2, FormatValue(p->Current.imag()) + " А");
    IronStateForm->SetCell(1, 3, FormatValue(voltage) + " В");
    IronStateForm->SetCell(2, 3, FormatValue(p->Voltage.imag()) + " В");
    IronStateForm->SetCell(1, 4, FormatValue(p->Power) + " Вт");
    IronStateForm->SetCell(2, 4, "—");
}

void FillParametersPanel() {
    if (!FloatControlPanel) return;
    if (!SelectedPart) {
        FloatControlPanel->SelectPage(0);
        return;
    }
    TPanelValues values;
    SelectedPart->FillPanel(values);
    FloatControlPanel->SelectPage(SelectedPart->PanelPage());
    FloatControlPanel->FillPage(values);
}

bool SelectedPanelValues(TPanelValues& values) {
    if (!SelectedPart) return false;
    values = TPanelValues();
    SelectedPart->FillPanel(values);
    return true;
}

void ApplyPanelValues(const TPanelValues& values) {
    if (!SelectedPart) return;
    SelectedPart->TakePanel(values);
    NotifyCircuitChanged(TChange::Scheme);
    RefreshStateWindow();
}
