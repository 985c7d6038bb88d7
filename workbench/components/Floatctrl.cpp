#include "components/Floatctrl.h"

#include "shell/Global.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <cmath>

TFloatControlPanel* FloatControlForm = nullptr;

const TTableEntry TFloatControlPanel::Materials[17] = {
    {"Алюминий", 0.0282}, {"Висмут", 1.2},      {"Вольфрам", 0.055}, {"Железо", 0.098},
    {"Золото", 0.0242},   {"Константан", 0.49}, {"Латунь", 0.08},    {"Манганин", 0.44},
    {"Медь", 0.0172},     {"Молибден", 0.056},  {"Никель", 0.0724},  {"Нихром", 1.0},
    {"Олово", 0.114},     {"Платина", 0.105},   {"Свинец", 0.206},   {"Серебро", 0.0162},
    {"Цинк", 0.0592},
};

namespace {

constexpr double TwoPi = 2 * 3.141592653589793;
constexpr double HalfRoot2 = 0.7071067811865475;
constexpr double Root2 = 1.4142135623730951;

// --- The lists of mantissas each editor offers --------------------------------------------------

// Resistors: the E24 row with some neighbours, in ascending order.
const QStringList L1 = {"1.0",   "1.1",   "1.2",   "1.3",   "1.5",   "1.6",   "1.8",   "2.0",
                        "2.2",   "2.4",   "2.7",   "3.0",   "3.3",   "3.6",   "4.3",   "4.7",
                        "5.1",   "5.6",   "6.2",   "6.8",   "7.5",   "8.2",   "9.1",   "10.0",
                        "11.0",  "12.0",  "13.0",  "15.0",  "16.0",  "18.0",  "20.0",  "22.0",
                        "24.0",  "27.0",  "30.0",  "33.0",  "36.0",  "39.0",  "43.0",  "47.0",
                        "51.0",  "56.0",  "62.0",  "63.0",  "68.0",  "75.0",  "82.0",  "91.0",
                        "100.0", "110.0", "120.0", "130.0", "150.0", "160.0", "180.0", "200.0",
                        "220.0", "240.0", "270.0", "300.0", "330.0", "360.0", "390.0", "430.0",
                        "510.0", "560.0", "580.0", "620.0", "680.0", "750.0", "820.0", "910.0"};
const QStringList L2 = {"0.0625", "0.125", "0.25", "0.5",  "1.0",  "1.5",
                        "2.0",    "3.0",   "5.0",  "10.0", "20.0", "100.0"};
const QStringList L3 = {"1.0",   "1.1",   "1.2",   "1.3",   "1.5",   "2.0",   "2.2",   "3.0",
                        "3.3",   "3.9",   "4.7",   "5.1",   "5.6",   "6.2",   "6.8",   "7.5",
                        "8.2",   "9.1",   "10.0",  "11.0",  "12.0",  "13.0",  "15.0",  "18.0",
                        "22.0",  "24.0",  "30.0",  "33.0",  "39.0",  "47.0",  "51.0",  "56.0",
                        "62.0",  "68.0",  "75.0",  "82.0",  "91.0",  "100.0", "110.0", "120.0",
                        "130.0", "150.0", "180.0", "220.0", "240.0", "300.0", "330.0", "390.0",
                        "470.0", "510.0", "560.0", "620.0", "680.0", "750.0", "820.0", "910.0"};
const QStringList L4 = {"10.0", "25.0", "50.0", "100.0", "150.0", "400.0", "600.0", "800.0"};
const QStringList L5 = {"1.0",   "1.5",   "2.0",   "4.7",   "5.0",   "8.2",
                        "10.0",  "15.0",  "20.0",  "47.0",  "50.0",  "82.0",
                        "100.0", "150.0", "200.0", "470.0", "500.0", "820.0"};
const QStringList L6 = {"0.1",  "0.5",   "1.0",   "1.5",   "2.0",   "3.0",   "4.5",  "5.0",
                        "9.0",  "12.0",  "15.0",  "18.0",  "24.0",  "27.0",  "30.0", "50.0",
                        "75.0", "100.0", "120.0", "220.0", "400.0", "600.0", "750.0"};
// Internal resistances: fractions of an ohm, then the resistors' row (without 2.0 and 2.2).
QStringList MakeL7() {
    QStringList list = {"0.01", "0.05", "0.07", "0.1", "0.2", "0.3", "0.4", "0.5", "0.7"};
    list << L1.mid(0, 7) << "2.4" << L1.mid(L1.indexOf("2.7"));
    return list;
}
const QStringList L8 = {"1.0",   "1.1",   "1.2",   "1.3",   "1.8",  "10.0",  "18.0",
                        "20.0",  "27.0",  "47.0",  "50.0",  "60.0", "100.0", "144.0",
                        "150.0", "300.0", "443.0", "756.0", "910.0"};
const QStringList L9 = {"0.1",  "0.5",  "1.0",  "1.5",  "2.0",  "3.0",  "4.5",  "5.0",
                        "9.0",  "12.0", "15.0", "18.0", "24.0", "27.0", "30.0", "36.0",
                        "40.0", "45.0", "50.0", "60.0", "70.0", "80.0", "90.0", "100.0"};
QStringList MakeL10() {
    return L9.mid(0, L9.indexOf("50.0") + 1) << "55.0"
                                             << "60.0";
}
const QStringList L11 = {"1.0",  "2.5",  "3.0",  "3.5",   "5.0",   "6.3",   "10.0", "12.0",
                         "18.0", "24.0", "50.0", "100.0", "150.0", "220.0", "600.0"};
const QStringList L12 = {"0.01", "0.05", "0.1", "0.5", "1.0", "2.0", "5.0", "7.0", "10.0"};
const QStringList L13 = {"0.1",  "0.5",  "1.0",  "2.0",   "5.0",   "10.0",
                         "40.0", "60.0", "75.0", "100.0", "120.0", "300.0"};
const QStringList L14 = {"0.1", "0.2", "0.5",  "1.0",  "1.5", "2.0",
                         "3.0", "5.0", "10.0", "15.0", "20.0"};
const QStringList L15 = {"0.1",  "0.5",   "1.0",   "1.3",   "1.5",   "1.7",   "2.0",  "2.3",
                         "2.5",  "2.7",   "3.0",   "3.3",   "3.5",   "3.7",   "4.0",  "5.0",
                         "6.0",  "7.0",   "8.0",   "9.0",   "10.0",  "13.0",  "15.0", "20.0",
                         "22.0", "25.0",  "30.0",  "40.0",  "50.0",  "60.0",  "70.0", "80.0",
                         "90.0", "100.0", "200.0", "500.0", "900.0", "1000.0"};
const QStringList L16 = {"0.1",   "0.3",   "0.5",   "0.7",   "1.0",   "2.0",   "3.0",   "4.0",
                         "5.0",   "6.0",   "7.0",   "8.0",   "9.0",   "10.0",  "50.0",  "100.0",
                         "125.0", "150.0", "175.0", "200.0", "250.0", "300.0", "400.0", "500.0",
                         "600.0", "700.0", "800.0", "900.0", "1000.0"};
const QStringList L17 = {"1.0",  "3.0",   "5.0",   "10.0",  "18.0", "24.0",
                         "50.0", "100.0", "150.0", "220.0", "600.0"};

// --- Units
// ----------------------------------------------------------------------------------------

QString Prefix(int index) {
    switch (index) {
    case 1:
        return GetText(170);
    case 2:
        return GetText(171);
    case 3:
        return GetText(172);
    case 4:
        return GetText(173);
    case 6:
        return GetText(174);
    case 7:
        return GetText(175);
    case 8:
        return GetText(176);
    default:
        return QString();
    }
}

struct TUnit {
    int Index;
    QString Caption;
};

// The unit buttons `indexes` of a unit: a prefix string before the unit string.
QList<TUnit> Units(std::initializer_list<int> indexes, long unitId) {
    QList<TUnit> units;
    for (int i : indexes)
        units.append({i, Prefix(i) + GetText(unitId)});
    return units;
}

// How an editor looks and what it accepts.
struct TEditorSpec {
    int Slot;
    QStringList List;
    QList<TUnit> Units;
    double Min;
    double Max;
    bool Hide = false;
    double Low = 0;
    double Middle = 0; // 0: one range Low..High
    double High = 0;
};

// --- Layout of a page: groups stacked from the top, editors stacked inside a group
// ----------------

constexpr int PageWidth = 168;
constexpr int GroupLeft = 2;
constexpr int GroupWidth = PageWidth - 2 * GroupLeft;
constexpr int GroupTitle = 17;
constexpr int RowHeight = 21;
constexpr int UnitRowHeight = 18;

class TPageBuilder {
public:
    TPageBuilder(QWidget* page, QObject* owner) : Page(page), Owner(owner) {}

    QGroupBox* BeginGroup(const QString& title) {
        Group = new QGroupBox(title, Page);
        // The titles are long for a panel this narrow: they take a smaller letter than the
        // controls inside.
        QFont titleFont = Page->font();
        titleFont.setPixelSize(10);
        Group->setFont(titleFont);
        Group->move(GroupLeft, Top);
        Inner = GroupTitle;
        return Group;
    }
    void EndGroup() {
        Group->resize(GroupWidth, Inner + 4);
        // The controls take the panel's letter again; unit buttons a smaller one, to fit.
        for (QWidget* child : Group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QFont font = Page->font();
            auto* button = qobject_cast<QToolButton*>(child);
            if (button && button->text() != "?" && button->icon().isNull()) font.setPixelSize(10);
            child->setFont(font);
        }
        Top += Inner + 6;
    }
    QLabel* SubLabel(const QString& text) {
        auto* label = new QLabel(text, Group);
        label->setGeometry(6, Inner, GroupWidth - 12, 14);
        Inner += 15;
        return label;
    }

    TValueCtrlSet* Editor(const TEditorSpec& spec) {
        auto* editor = new TValueCtrlSet(Owner);
        editor->Group = Group;
        editor->Slot = spec.Slot;
        editor->MinValue = spec.Min;
        editor->MaxValue = spec.Max;
        auto* list = new QComboBox(Group);
        list->setEditable(true);
        list->addItems(spec.List);
        list->setMaxVisibleItems(16);
        list->setGeometry(6, Inner, 84, RowHeight);
        editor->ValueList = list;
        // One unit needs no label to repeat it: its button stands where the label would.
        const bool single = spec.Units.size() == 1;
        if (!single) {
            auto* unitLabel = new QLabel(Group);
            unitLabel->setGeometry(94, Inner, 40, RowHeight);
            editor->UnitLabel = unitLabel;
        }
        if (spec.Hide) {
            auto* hide = new QToolButton(Group);
            hide->setText("?");
            hide->setGeometry(GroupWidth - 26, Inner, 20, RowHeight);
            editor->HideButton = hide;
            editor->RandomLow = spec.Low;
            editor->RandomHigh = spec.High;
            editor->RandomMiddle = spec.Middle;
            editor->TwoRanges = spec.Middle != 0;
        }
        if (single) {
            auto* button = new QToolButton(Group);
            button->setText(spec.Units[0].Caption);
            button->setGeometry(94, Inner + 1, 36, UnitRowHeight + 1);
            editor->UnitButtons[spec.Units[0].Index] = button;
        }
        Inner += RowHeight + 3;
        if (spec.Units.size() > 1) {
            int x = 6;
            for (const TUnit& unit : spec.Units) {
                auto* button = new QToolButton(Group);
                button->setText(unit.Caption);
                button->setGeometry(x, Inner, 30, UnitRowHeight);
                editor->UnitButtons[unit.Index] = button;
                x += 30;
            }
            Inner += UnitRowHeight + 3;
        }
        editor->Bind();
        return editor;
    }

    QWidget* Page;
    QObject* Owner;
    QGroupBox* Group = nullptr;
    int Top = 4;
    int Inner = 0;
};

// The page numbers of the kinds' pages, with their captions.
struct TPageEntry {
    int Type;
    const char* Name;
    long Caption;
};
const TPageEntry PageEntries[] = {
    {1, "ResistorTab", 1238},      {2, "CapacitorTab", 1239},  {3, "ReelTab", 1234},
    {4, "AcumulatorTab", 1235},    {5, "GeneratorTab", 1246},  {6, "KnifeSwitchTab", 1247},
    {7, "LampTab", 1243},          {8, "DiodeTab", 1244},      {9, "WireTab", 1245},
    {10, "FuseTab", 1237},         {11, "ConductorTab", 1236}, {12, "VarResistorTab", 1242},
    {13, "VarCapacitorTab", 1240}, {14, "HeaterTab", 1241},
};

long PageCaption(int type) {
    for (const TPageEntry& entry : PageEntries)
        if (entry.Type == type) return entry.Caption;
    return 0;
}

bool SameValue(double a, double b) {
    return std::fabs(a - b) <= 1E-9 * std::max(std::fabs(a), std::fabs(b));
}

} // namespace

// --- Construction
// ---------------------------------------------------------------------------------

TFloatControlPanel::TFloatControlPanel(QWidget* mainWindow)
    : TToolWindow(mainWindow, GetText(1221), false) {
    setObjectName("FloatControlPanel");
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    // A pressed unit or "?" button must be seen at a glance.
    Client()->setStyleSheet("QToolButton:checked { background: rgb(70, 110, 160); color: white;"
                            " border: 1px solid rgb(40, 64, 96); border-radius: 2px; }");

    DetailPageControl = new QTabWidget(Client());
    DetailPageControl->setObjectName("DetailPageControl");
    // One tab at a time, as wide as the panel: a long caption fits without scroll arrows.
    DetailPageControl->setUsesScrollButtons(false);
    DetailPageControl->setElideMode(Qt::ElideRight);
    DetailPageControl->tabBar()->setExpanding(true);
    QFont tabFont = small;
    tabFont.setPixelSize(10);
    DetailPageControl->tabBar()->setFont(tabFont);
    ApplyBtn = new QPushButton(GetText(1233), Client());
    ApplyBtn->setObjectName("ApplyBtn");
    connect(ApplyBtn, &QPushButton::clicked, this, &TFloatControlPanel::ApplyBtnClick);

    CreatePages();
    for (TValueCtrlSet* editor : Editors) {
        editor->OnChanged = [this](TValueCtrlSet* e) { EditorChanged(e); };
        editor->OnHiddenChanged = [this](TValueCtrlSet* e) { HiddenChanged(e); };
    }

    // The panel keeps one size whatever page it shows: the pages, and the Apply button across
    // the panel's width below them.
    const int applyHeight = 24;
    const int clientWidth = PanelWidth - 2;
    const int pagesHeight = PanelHeight - 22;
    SetClientSize(clientWidth, pagesHeight + applyHeight + 8);
    DetailPageControl->setGeometry(1, 2, clientWidth - 2, pagesHeight);
    ApplyBtn->setGeometry(3, pagesHeight + 5, clientWidth - 6, applyHeight);
    ApplyBtn->setEnabled(false);
    FloatControlForm = this;
}

TFloatControlPanel::~TFloatControlPanel() {
    if (FloatControlForm == this) FloatControlForm = nullptr;
    if (FloatControlPanel == this) FloatControlPanel = nullptr;
}

void TFloatControlPanel::CreatePages() {
    for (const TPageEntry& entry : PageEntries) {
        auto* page = new QWidget(DetailPageControl);
        page->setObjectName(entry.Name);
        page->hide();
        Pages[entry.Type] = page;
    }
    const QList<TUnit> ohms = Units({5, 6, 7}, 162);
    const QList<TUnit> watts = Units({5, 6}, 164);
    const QList<TUnit> farads = Units({1, 2, 3, 4, 5}, 161);
    const QList<TUnit> volts = Units({5}, 163);
    const QList<TUnit> kilovolts = Units({5, 6}, 163);

    { // Resistor
        TPageBuilder b(Pages[1], this);
        b.BeginGroup(GetText(1257));
        ResistorValue = b.Editor({0, L1, ohms, 0.001, 1E12, true, 100, 1000, 100000});
        b.EndGroup();
        b.BeginGroup(GetText(1258));
        ResistorPower = b.Editor({1, L2, watts, 1E-6, 1E6});
        b.EndGroup();
    }
    { // Capacitor
        TPageBuilder b(Pages[2], this);
        b.BeginGroup(GetText(1259));
        CapacitorValue = b.Editor({0, L3, farads, 1E-13, 1000, true, 0.0001, 0, 0.1});
        b.EndGroup();
        b.BeginGroup(GetText(1260));
        CapacitorVoltage = b.Editor({1, L4, volts, 0.0001, 10000});
        b.EndGroup();
    }
    { // Coil
        TPageBuilder b(Pages[3], this);
        b.BeginGroup(GetText(1248));
        ReelValue =
            b.Editor({0, L5, Units({1, 2, 3, 4, 5}, 165), 1E-12, 1000, true, 1E-6, 0.001, 1});
        b.EndGroup();
    }
    { // Battery
        TPageBuilder b(Pages[4], this);
        b.BeginGroup(GetText(1249));
        BatteryEmf = b.Editor({0, L6, volts, 0.0001, 10000, true, 1, 0, 100});
        b.EndGroup();
        b.BeginGroup(GetText(1250));
        BatteryResistance = b.Editor({1, MakeL7(), ohms, 0.001, 1E10, true, 1, 0, 100});
        b.EndGroup();
        CapacityGroup = b.BeginGroup(GetText(1251));
        // The capacity is kept in milliampere-hours: the ampere-hour button is a thousand.
        BatteryCapacity = b.Editor(
            {2, MakeL7(), {{5, Prefix(4) + GetText(1203)}, {6, GetText(1203)}}, 0.01, 1E6});
        b.EndGroup();
        SpeedButton47 = new QToolButton(Pages[4]);
        SpeedButton47->setObjectName("SpeedButton47");
        SpeedButton47->setCheckable(true);
        SpeedButton47->setText(GetText(1229));
        SpeedButton47->setGeometry(GroupLeft, b.Top, GroupWidth, 22);
        connect(SpeedButton47, &QToolButton::clicked, this, [this] { SpeedButton47Click(true); });
        BitBtn1 = new QPushButton(GetText(1252), Pages[4]);
        BitBtn1->setObjectName("BitBtn1");
        BitBtn1->setGeometry(GroupLeft, b.Top + 25, GroupWidth, 22);
        connect(BitBtn1, &QPushButton::clicked, this, &TFloatControlPanel::BitBtn1Click);
    }
    { // Generator
        TPageBuilder b(Pages[5], this);
        b.BeginGroup(GetText(1267));
        b.SubLabel(GetText(1269));
        GeneratorFrequency =
            b.Editor({0, L8, Units({5, 6, 7}, 167), 1, 1E10, true, 1, 1000, 100000});
        const int cyclicTop = b.Inner;
        Label28 = new QLabel(GetText(1270), b.Group);
        Label28->move(6, cyclicTop);
        Label23 = new QLabel(b.Group);
        Label23->setObjectName("Label23");
        b.Inner += 18;
        // The angular frequency has an editor of its own that is never shown: Label23 shows it.
        GeneratorCyclic = b.Editor({2, L8, {}, 1, 1E10});
        GeneratorCyclic->ValueList->hide();
        GeneratorCyclic->UnitLabel->hide();
        b.Inner = cyclicTop + 18;
        b.EndGroup();
        // The angular frequency's line is a narrow one: a smaller letter keeps it whole.
        QFont line = Pages[5]->font();
        line.setPixelSize(10);
        Label28->setFont(line);
        Label23->setFont(line);
        Label28->adjustSize();
        Label23->setGeometry(Label28->width() + 10, cyclicTop, GroupWidth - Label28->width() - 12,
                             16);
        b.BeginGroup(GetText(1268));
        AmplitudeLabel = b.SubLabel(GetText(1271));
        GeneratorAmplitude = b.Editor({1, L9, kilovolts, 0.0001, 1E7});
        b.SubLabel(GetText(1272));
        GeneratorEffective =
            b.Editor({3, MakeL10(), kilovolts, 0.0001, 7071067.811865475, true, 1, 0, 100});
        b.EndGroup();
    }
    { // Switch
        TPageBuilder b(Pages[6], this);
        b.BeginGroup(GetText(1273));
        SpeedButton21 = new QToolButton(b.Group);
        SpeedButton21->setObjectName("SpeedButton21");
        SpeedButton21->setCheckable(true);
        SpeedButton21->setGeometry(6, b.Inner, 40, 40);
        SpeedButton21->setIconSize(QSize(36, 36));
        Label8 = new QLabel(GetText(1227), b.Group);
        Label8->setObjectName("Label8");
        Label8->setGeometry(54, b.Inner, GroupWidth - 60, 40);
        b.Inner += 44;
        b.EndGroup();
        connect(SpeedButton21, &QToolButton::clicked, this, [this] { SpeedButton21Click(true); });
    }
    { // Lamp
        TPageBuilder b(Pages[7], this);
        b.BeginGroup(GetText(1260));
        LampVoltage = b.Editor({0, L11, volts, 0.001, 1000, true, 1, 0, 100});
        b.EndGroup();
        b.BeginGroup(GetText(1263));
        Label17 = b.SubLabel(GetText(1264));
        Label17->setObjectName("Label17");
        LampCurrent = b.Editor({1, L12, Units({4, 5}, 160), 0.001, 1000});
        b.SubLabel(GetText(1265));
        LampPower = b.Editor({2, L13, Units({4, 5}, 164), 1E-8, 1E6, true, 0.1, 0, 10});
        b.EndGroup();
    }
    { // Wire
        Label10 = new QLabel(GetText(1266), Pages[9]);
        Label10->setObjectName("Label10");
        Label10->setGeometry(GroupLeft + 4, 8, GroupWidth - 8, 40);
        Label10->setWordWrap(true);
        Label10->installEventFilter(this);
    }
    { // Fuse
        TPageBuilder b(Pages[10], this);
        b.BeginGroup(GetText(1256));
        FuseCurrent = b.Editor({0, L14, Units({5}, 160), 0.0001, 10000});
        b.EndGroup();
    }
    { // Real conductor
        TPageBuilder b(Pages[11], this);
        b.BeginGroup(GetText(1253));
        ConductorMaterial = b.Editor({0, {}, {}, 0.001, 10, true, 0.001, 0, 1});
        ConductorMaterial->SetTable(Materials, 17, GetText(507));
        ConductorMaterial->UnitLabel->setGeometry(6, b.Inner, GroupWidth - 12, 14);
        ConductorMaterial->ValueList->resize(GroupWidth - 40, RowHeight);
        b.Inner += 16;
        b.EndGroup();
        b.BeginGroup(GetText(1254));
        ConductorLength = b.Editor({1, L15, Units({4, 5}, 166), 0.001, 1000, true, 0.01, 0, 10});
        b.EndGroup();
        b.BeginGroup(GetText(1255));
        ConductorSection = b.Editor({2, L16, {{5, GetText(1232)}}, 0.001, 1000, true, 0.1, 0, 10});
        b.EndGroup();
        for (TValueCtrlSet* e : {ConductorMaterial, ConductorLength, ConductorSection})
            e->BitNeedsButton = true;
    }
    { // Variable resistor: its rating is kept but not offered
        TPageBuilder b(Pages[12], this);
        b.BeginGroup(GetText(1257));
        VarResistorValue = b.Editor({0, L1, ohms, 0.001, 1E12});
        b.EndGroup();
        QGroupBox* rating = b.BeginGroup(GetText(1258));
        VarResistorPower = b.Editor({1, L2, watts, 1E-6, 1E6});
        VarResistorPower->Editable = false;
        b.EndGroup();
        rating->hide();
    }
    { // Variable capacitor
        TPageBuilder b(Pages[13], this);
        b.BeginGroup(GetText(1259));
        VarCapacitorValue = b.Editor({0, L3, farads, 1E-13, 1000});
        b.EndGroup();
        QGroupBox* rating = b.BeginGroup(GetText(1260));
        VarCapacitorVoltage = b.Editor({1, L4, kilovolts, 0.0001, 10000});
        VarCapacitorVoltage->Editable = false;
        b.EndGroup();
        rating->hide();
    }
    { // Heater
        TPageBuilder b(Pages[14], this);
        b.BeginGroup(GetText(1261));
        HeaterVoltage = b.Editor({0, L17, kilovolts, 0.001, 5000, true, 1, 0, 100});
        b.EndGroup();
        b.BeginGroup(GetText(1262));
        HeaterPower = b.Editor({1, L13, Units({4, 5}, 164), 0.001, 1000, true, 0.1, 0, 10});
        b.EndGroup();
        HeaterVoltage->ValueList->setEditText("0.0");
        HeaterPower->ValueList->setEditText("0.0");
    }

    Editors = {ResistorValue,      ResistorPower,     CapacitorValue,      CapacitorVoltage,
               ReelValue,          BatteryEmf,        BatteryResistance,   BatteryCapacity,
               GeneratorFrequency, GeneratorCyclic,   GeneratorAmplitude,  GeneratorEffective,
               LampVoltage,        LampCurrent,       LampPower,           FuseCurrent,
               ConductorMaterial,  ConductorLength,   ConductorSection,    VarResistorValue,
               VarResistorPower,   VarCapacitorValue, VarCapacitorVoltage, HeaterVoltage,
               HeaterPower};
    for (TValueCtrlSet* editor : Editors)
        if (editor != HeaterVoltage && editor != HeaterPower && !editor->Table)
            editor->ValueList->setEditText("1.0");
}

// --- Pages
// ------------------------------------------------------------------------------------------

void TFloatControlPanel::SelectPage(int type) {
    if (type < 0 || type >= PageCount || !Pages[type]) type = 0;
    if (type == 0) DetailPageControl->clear();
    if (type == PageType) return;
    PageType = type;
    // Only the page of the selected part's kind is there, with its tab.
    DetailPageControl->clear();
    ApplyBtn->setEnabled(type != 0);
    if (type != 0) {
        DetailPageControl->addTab(Pages[type], GetText(PageCaption(type)));
        Pages[type]->show();
    }
}

void TFloatControlPanel::TakeBack() {
    for (TValueCtrlSet* editor : ActiveEditors)
        PanelValues.Values[editor->Slot] = editor->Value;
}

void TFloatControlPanel::FillPage(const TPanelValues& values) {
    PanelValues = values;
    const double* v = values.Values;
    const quint32 flags = values.Flags;
    ActiveEditors.clear();
    switch (PageType) {
    case 1:
    case 2: {
        TValueCtrlSet* first = PageType == 1 ? ResistorValue : CapacitorValue;
        TValueCtrlSet* second = PageType == 1 ? ResistorPower : CapacitorVoltage;
        first->SetValue(v[0]);
        second->SetValue(v[1]);
        ActiveEditors = {first, second};
        TakeBack();
        first->ApplyHiddenFlags(flags);
        break;
    }
    case 3:
        ReelValue->SetValue(v[0]);
        ActiveEditors = {ReelValue};
        TakeBack();
        ReelValue->ApplyHiddenFlags(flags);
        break;
    case 4:
        BatteryEmf->SetValue(v[0]);
        BatteryResistance->SetValue(v[1]);
        BatteryCapacity->SetValue(v[2]);
        ActiveEditors = {BatteryEmf, BatteryResistance, BatteryCapacity};
        TakeBack();
        BatteryEmf->ApplyHiddenFlags(flags);
        BatteryResistance->ApplyHiddenFlags(flags);
        SpeedButton47->setChecked(flags & 0x08);
        SpeedButton47Click(false);
        break;
    case 5:
        GeneratorFrequency->SetValue(v[0]);
        GeneratorCyclic->SetValue(GeneratorFrequency->Value * TwoPi);
        GeneratorAmplitude->SetValue(v[1]);
        GeneratorEffective->SetValue(GeneratorAmplitude->Value * 0.7071067811865474);
        ActiveEditors = {GeneratorFrequency, GeneratorCyclic, GeneratorAmplitude,
                         GeneratorEffective};
        TakeBack();
        GeneratorFrequency->ApplyHiddenFlags(flags);
        GeneratorEffective->ApplyHiddenFlags(flags);
        RefreshLabel23();
        break;
    case 6:
        SpeedButton21->setChecked(flags == 2);
        // The switch is already in the state its page shows: nothing to send.
        SpeedButton21Click(false);
        break;
    case 7: {
        LampVoltage->SetValue(v[0]);
        LampCurrent->SetValue(v[1]);
        const double power = v[0] * v[1];
        LampPower->SetValue(std::isfinite(power) ? power : 1E30);
        ActiveEditors = {LampVoltage, LampCurrent, LampPower};
        TakeBack();
        LampVoltage->ApplyHiddenFlags(flags);
        LampPower->ApplyHiddenFlags(flags);
        break;
    }
    case 10:
        FuseCurrent->SetValue(v[0]);
        ActiveEditors = {FuseCurrent};
        TakeBack();
        break;
    case 11:
        ConductorMaterial->SetValue(v[0]);
        ConductorLength->SetValue(v[1]);
        ConductorSection->SetValue(v[2]);
        ActiveEditors = {ConductorMaterial, ConductorLength, ConductorSection};
        TakeBack();
        for (TValueCtrlSet* editor : ActiveEditors)
            editor->ApplyHiddenFlags(flags);
        break;
    case 12:
    case 13: {
        TValueCtrlSet* first = PageType == 12 ? VarResistorValue : VarCapacitorValue;
        TValueCtrlSet* second = PageType == 12 ? VarResistorPower : VarCapacitorVoltage;
        first->SetValue(v[0]);
        second->SetValue(v[1]);
        ActiveEditors = {first, second};
        TakeBack();
        break;
    }
    case 14:
        HeaterVoltage->SetValue(v[0]);
        HeaterPower->SetValue(v[1]);
        ActiveEditors = {HeaterVoltage, HeaterPower};
        TakeBack();
        HeaterVoltage->ApplyHiddenFlags(flags);
        HeaterPower->ApplyHiddenFlags(flags);
        break;
    default:
        break;
    }
    UpdateMasks();
}

void TFloatControlPanel::ShowPanel() {
    show();
    raise();
}

// --- Sending ------------------------------------------------------------------------------------

void TFloatControlPanel::ComposeFlags() {
    quint32 flags = 0;
    for (TValueCtrlSet* editor : ActiveEditors) {
        if (editor->BitNeedsButton && !editor->IsHidden()) continue;
        flags |= editor->HiddenBit;
    }
    PanelValues.Flags = flags | ExtraFlags;
}

void TFloatControlPanel::SendValues() {
    const TPanelValues copy = PanelValues;
    if (OnApply) OnApply(copy);
    SyncWithPart();
}

void TFloatControlPanel::SyncWithPart() {
    TPanelValues held;
    if (!OnReadBack || !OnReadBack(held)) return;
    for (TValueCtrlSet* editor : ActiveEditors) {
        // A hidden value, one that follows a hidden one, and one that is not in use stay as they
        // are: they show no number.
        if (editor->IsHidden() || editor->ShowsHidden() || !editor->Group->isEnabled()) continue;
        if (editor->ValueList->isHidden()) continue;
        const double taken = held.Values[editor->Slot];
        if (SameValue(taken, editor->Value)) continue;
        editor->SetValue(taken);
        PanelValues.Values[editor->Slot] = editor->Value;
    }
    if (PageType == 5) RefreshLabel23();
}

void TFloatControlPanel::ApplyBtnClick() {
    if (PageType == 6) {
        PanelValues.Flags = SpeedButton21->isChecked() ? 2 : 1;
        SendValues();
        return;
    }
    // A value whose list shows no number of its own (one following a hidden value, zero or
    // infinity) is not read: its text is no value.
    QList<TValueCtrlSet*> changed;
    for (TValueCtrlSet* editor : ActiveEditors) {
        if (editor->IsHidden() || !editor->Disabled) editor->ReadValue(false);
        if (!SameValue(PanelValues.Values[editor->Slot], editor->Value)) changed << editor;
        PanelValues.Values[editor->Slot] = editor->Value;
    }
    // The values that depend on each other follow the one the student changed.
    if (PageType == 5) {
        if (changed.contains(GeneratorEffective)) {
            GeneratorAmplitude->SetValue(GeneratorEffective->Value * Root2);
            PanelValues.Values[1] = GeneratorAmplitude->Value;
        } else if (changed.contains(GeneratorAmplitude)) {
            GeneratorEffective->SetValue(GeneratorAmplitude->Value * HalfRoot2);
            PanelValues.Values[3] = GeneratorEffective->Value;
        }
        RefreshLabel23();
    } else if (PageType == 7) {
        if (changed.contains(LampPower)) {
            const double voltage = LampVoltage->Value;
            LampCurrent->SetValue(std::fabs(voltage) >= 1E-15 ? LampPower->Value / voltage : 1E30);
            PanelValues.Values[1] = LampCurrent->Value;
        } else if (changed.contains(LampVoltage) || changed.contains(LampCurrent)) {
            LampPower->SetValue(LampVoltage->Value * LampCurrent->Value);
            PanelValues.Values[2] = LampPower->Value;
        }
    }
    UpdateMasks();
    ComposeFlags();
    SendValues();
}

// --- What the editors tell the panel -------------------------------------------------------------

void TFloatControlPanel::EditorChanged(TValueCtrlSet* e) {
    PanelValues.Values[e->Slot] = e->Value;
    if (e == GeneratorFrequency) {
        PanelValues.Values[2] = GeneratorCyclic->Value;
        RefreshLabel23();
    } else if (e == GeneratorCyclic) {
        return; // never shown, never sent
    } else if (e == GeneratorAmplitude) {
        GeneratorEffective->SetValue(e->Value * HalfRoot2);
        PanelValues.Values[3] = GeneratorEffective->Value;
    } else if (e == GeneratorEffective) {
        GeneratorAmplitude->SetValue(e->Value * Root2);
        PanelValues.Values[1] = GeneratorAmplitude->Value;
        if (e->IsHidden()) MaskAmplitude(true);
    } else if (e == LampVoltage || e == LampCurrent) {
        LampPower->SetValue(LampVoltage->Value * LampCurrent->Value);
        PanelValues.Values[2] = LampPower->Value;
    } else if (e == LampPower) {
        const double voltage = LampVoltage->Value;
        LampCurrent->SetValue(std::fabs(voltage) >= 1E-15 ? e->Value / voltage : 1E30);
        PanelValues.Values[1] = LampCurrent->Value;
        UpdateMasks();
    } else if (e == ConductorMaterial || e == ConductorLength || e == ConductorSection) {
        // At most one of the three is hidden: the one hidden now shows the others again.
        if (e->IsHidden())
            for (TValueCtrlSet* other : {ConductorMaterial, ConductorLength, ConductorSection})
                if (other != e && other->IsHidden()) {
                    other->HideButton->setChecked(false);
                    other->ToggleHidden(false);
                }
    }
    ComposeFlags();
    SendValues();
}

void TFloatControlPanel::HiddenChanged(TValueCtrlSet* e) {
    if (e == GeneratorFrequency) {
        Label28->setVisible(!e->IsHidden());
        Label23->setVisible(!e->IsHidden());
    } else if (e == GeneratorEffective) {
        MaskAmplitude(e->IsHidden());
    } else if (e == LampVoltage || e == LampPower) {
        MaskLampCurrent(LampVoltage->IsHidden() || LampPower->IsHidden());
    } else if ((e == ConductorMaterial || e == ConductorLength || e == ConductorSection) &&
               e->IsHidden()) {
        for (TValueCtrlSet* other : {ConductorMaterial, ConductorLength, ConductorSection})
            if (other != e && other->IsHidden()) {
                other->HideButton->setChecked(false);
                other->ToggleHidden(false);
            }
    }
}

void TFloatControlPanel::MaskAmplitude(bool masked) {
    if (masked) {
        GeneratorAmplitude->DisableControls();
        GeneratorAmplitude->SetText("???");
        AmplitudeLabel->setText(GetText(1222));
    } else {
        if (GeneratorAmplitude->ShowsHidden()) {
            GeneratorAmplitude->SetText(QString());
            GeneratorAmplitude->EnableControls();
            GeneratorAmplitude->SetValue(GeneratorAmplitude->Value);
        }
        AmplitudeLabel->setText(GetText(1223));
    }
}

void TFloatControlPanel::MaskLampCurrent(bool masked) {
    if (masked) {
        LampCurrent->DisableControls();
        LampCurrent->SetText("???");
        Label17->setText(GetText(1224));
    } else {
        if (LampCurrent->ShowsHidden()) {
            LampCurrent->SetText(QString());
            LampCurrent->EnableControls();
            LampCurrent->SetValue(LampCurrent->Value);
        }
        Label17->setText(GetText(1225));
    }
}

void TFloatControlPanel::UpdateMasks() {
    if (PageType == 5) {
        MaskAmplitude(GeneratorEffective->IsHidden());
        Label28->setVisible(!GeneratorFrequency->IsHidden());
        Label23->setVisible(!GeneratorFrequency->IsHidden());
    } else if (PageType == 7) {
        MaskLampCurrent(LampVoltage->IsHidden() || LampPower->IsHidden());
    }
}

void TFloatControlPanel::RefreshLabel23() {
    const double f = GeneratorFrequency->Value;
    double w = f * 2 * 3.141592653589793;
    if (f >= 1 && f < 1000)
        w *= 1;
    else if (f < 1E6)
        w *= 0.001;
    else if (f < 1E9)
        w *= 1E-6;
    else if (f < 1E12)
        w *= 1E-9;
    const QString number = QString::asprintf("%8.3f", w).remove(' ');
    Label23->setText(QString::asprintf("%c = ", 'w') + number);
}

// --- The buttons of the battery and switch pages, the wire's label
// ------------------------------------

void TFloatControlPanel::SpeedButton47Click(bool byStudent) {
    ExtraFlags = 0;
    if (SpeedButton47->isChecked()) {
        SpeedButton47->setText(GetText(1228));
        CapacityGroup->setEnabled(true);
        BatteryCapacity->EnableControls();
        BatteryCapacity->SetValue(BatteryCapacity->Value);
        ExtraFlags = 0x08;
    } else {
        SpeedButton47->setText(GetText(1229));
        CapacityGroup->setEnabled(false);
        BatteryCapacity->SetText(GetText(1231));
        BatteryCapacity->DisableControls();
        ExtraFlags = 0x10;
    }
    ComposeFlags();
    if (byStudent) SendValues();
}

void TFloatControlPanel::BitBtn1Click() {
    ComposeFlags();
    PanelValues.Flags |= 0x04;
    SendValues();
}

void TFloatControlPanel::SpeedButton21Click(bool send) {
    const bool closed = SpeedButton21->isChecked();
    Label8->setText(GetText(closed ? 1226 : 1227));
    const QString picture = closed ? "bmpSwitchOn" : "bmpSwitchOff";
    if (HasBitmapResource(picture))
        SpeedButton21->setIcon(QIcon(QPixmap::fromImage(LoadTransparentBitmap(picture))));
    PanelValues.Flags = closed ? 2 : 1;
    if (send) SendValues();
}

void TFloatControlPanel::Label10MouseDown(Qt::MouseButton button, QPoint at) {
    if (button != Qt::RightButton) return;
    if (at.x() < 20 || at.x() > 24 || at.y() < 5 || at.y() > 10) return;
    ShowMessage(
        "Control Panel is need for to control detail parameters\nThere it is a virtual device\n",
        "About ControlPanel", TMsgButtons::Ok, TMsgIcon::Information, this);
}

bool TFloatControlPanel::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Label10 && e->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(e);
        Label10MouseDown(press->button(), press->position().toPoint());
    }
    return TToolWindow::eventFilter(watched, e);
}

// --- Showing the panel
// ------------------------------------------------------------------------------

void TFloatControlPanel::showEvent(QShowEvent* e) {
    // The page is built afresh each time the panel comes up.
    const int shown = PageType;
    SelectPage(0);
    SelectPage(shown);
    ConductorMaterial->UnitLabel->setText("om*" + GetText(1232) + QChar(0x00B2) + "/m");
    ConductorSection->UnitButtons[5]->setText(GetText(1232) + QChar(0x00B2));
    TToolWindow::showEvent(e);
}
