#include "Form1.h"

#include "Filtercalc.h"
#include "Schematic.h"

#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

// The controls keep their places relative to each other; the whole layout stands this far in
// from the window's edges so the frames do not run into the window border.
constexpr int Margin = 120;
// The note beside the results, in twips: wide enough for the whole text at the window's font.
constexpr int NoteWidth = 3000;

const char* const Note =
    "В качестве единичного повторителя напряжения (DA1) можно использовать эмиттерный "
    "повторитель или ОУ, инвертирующий вход которого соединён с выходом.";

// The window's icon: the amplitude response of a low-pass filter, flat and then falling.
QPixmap IconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 4, 4);
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    p.drawLine(QPointF(5, 5), QPointF(5, 27));
    p.drawLine(QPointF(5, 27), QPointF(28, 27));
    QPainterPath response;
    response.moveTo(5, 9);
    response.lineTo(14, 9);
    response.cubicTo(19, 9, 21, 13, 27, 25);
    p.setPen(QPen(QColor(0, 90, 190), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(response);
    p.end();
    return pixmap;
}

QIcon FilterIcon() {
    QIcon icon;
    for (int size : {16, 32, 64})
        icon.addPixmap(IconPixmap(size));
    return icon;
}

// A horizontal scroll bar whose arrow keys move the thumb the way they point. Qt's scroll bars
// invert their key controls so that Page Up and the wheel move a vertical bar up; on a
// horizontal bar that turns the Left and Right arrows around as well.
class THScrollBar : public QScrollBar {
public:
    explicit THScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool forward =
            isRightToLeft() ? event->key() == Qt::Key_Left : event->key() == Qt::Key_Right;
        const bool back =
            isRightToLeft() ? event->key() == Qt::Key_Right : event->key() == Qt::Key_Left;
        if (event->modifiers() == Qt::NoModifier && (forward || back)) {
            triggerAction(forward ? SliderSingleStepAdd : SliderSingleStepSub);
            event->accept();
            return;
        }
        QScrollBar::keyPressEvent(event);
    }
};

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Расчёт filterdemo"));
    setWindowIcon(FilterIcon());
    CreateControls();
    Form_Load();
}

int Form1::Twips(int twips) const {
    return qRound(twips * logicalDpiX() / 1440.0);
}

void Form1::PlaceTwips(QWidget* w, int left, int top, int width, int height) const {
    w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

void Form1::CreateControls() {
    // The layout was drawn for an 8-point interface font; text and twips scale together.
    QFont formFont = font();
    formFont.setPointSizeF(8);
    setFont(formFont);
    // Frame captions sit on the frame's top line, half a text line below the frame's top, so
    // the places given inside a frame are measured from its outer edge.
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 0.5em; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; padding: 0 2px; }"));

    auto label = [](const QString& name, const QString& text, QWidget* parent) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(name);
        return l;
    };
    auto list = [](const QString& name, const QStringList& items, QWidget* parent) {
        auto* c = new QComboBox(parent);
        c->setObjectName(name);
        c->addItems(items);
        c->setMaxVisibleItems(12);
        return c;
    };

    // Inputs: the frequency number with its unit, then the resistors with theirs.
    Frame1 = new QGroupBox(QStringLiteral("Исходные данные"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    PlaceTwips(Frame1, Margin + 0, Margin + 0, 2775, 1230);

    Label1 = label(QStringLiteral("Label1"), QStringLiteral("Частота среза:"), Frame1);
    PlaceTwips(Label1, 120, 210, 1620, 240);
    Label3 = label(QStringLiteral("Label3"), QStringLiteral("0000"), Frame1);
    Label3->setAlignment(Qt::AlignCenter);
    PlaceTwips(Label3, 1800, 210, 855, 240);

    HScroll1 = new THScrollBar(Frame1);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setRange(1, 999);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(10);
    // The value follows the thumb only on release; while the thumb is dragged every position
    // it passes is reported on its own, so each step still recalculates.
    HScroll1->setTracking(false);
    // It takes the keyboard by a click and by Tab, so that its arrow keys move it.
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    PlaceTwips(HScroll1, 120, 525, 1620, 255);
    Combo1 = list(QStringLiteral("Combo1"), FrequencyUnits(), Frame1);
    PlaceTwips(Combo1, 1800, 480, 855, 330);

    Label2 = label(QStringLiteral("Label2"), QStringLiteral("R1=R2="), Frame1);
    PlaceTwips(Label2, 120, 885, 795, 240);
    Combo2 = list(QStringLiteral("Combo2"), ResistorValues(), Frame1);
    PlaceTwips(Combo2, 930, 840, 810, 330);
    Combo3 = list(QStringLiteral("Combo3"), ResistanceUnits(), Frame1);
    PlaceTwips(Combo3, 1800, 840, 855, 330);

    // Results: each capacitor with its value and unit.
    Frame2 = new QGroupBox(QStringLiteral("Результат расчёта"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    PlaceTwips(Frame2, Margin + 0, Margin + 1320, 2775, 975);

    Label6 = label(QStringLiteral("Label6"), QStringLiteral("C1"), Frame2);
    PlaceTwips(Label6, 120, 300, 360, 240);
    Text1 = new QLineEdit(Frame2);
    Text1->setObjectName(QStringLiteral("Text1"));
    PlaceTwips(Text1, 480, 240, 1575, 285);
    Label4 = label(QStringLiteral("Label4"), QString(), Frame2);
    PlaceTwips(Label4, 2160, 300, 495, 240);

    Label7 = label(QStringLiteral("Label7"), QStringLiteral("C2"), Frame2);
    PlaceTwips(Label7, 120, 585, 360, 240);
    Text2 = new QLineEdit(Frame2);
    Text2->setObjectName(QStringLiteral("Text2"));
    PlaceTwips(Text2, 480, 525, 1575, 285);
    Label5 = label(QStringLiteral("Label5"), QString(), Frame2);
    PlaceTwips(Label5, 2160, 585, 495, 240);

    // The schematic is 100 x 49 pixels at 96 dpi, that is 1500 x 735 twips.
    Image1 = new TSchematic(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    PlaceTwips(Image1, Margin + 2880, Margin + 120, 1500, 735);

    Text3 = new QPlainTextEdit(this);
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Lines break between words only, and the box is wide enough for the whole note: no word
    // is cut and nothing hides below its edge.
    Text3->setWordWrapMode(QTextOption::WordWrap);
    Text3->setTabChangesFocus(true); // Tab goes round the window's controls, never into the note
    Text3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PlaceTwips(Text3, Margin + 2880, Margin + 900, NoteWidth, 1395);

    setFixedSize(Twips(Margin + 2880 + NoteWidth + Margin), Twips(Margin + 1320 + 975 + Margin));

    connect(Combo1, &QComboBox::currentIndexChanged, this, &Form1::Combo1_Click);
    connect(Combo2, &QComboBox::currentIndexChanged, this, &Form1::Combo2_Click);
    connect(Combo3, &QComboBox::currentIndexChanged, this, &Form1::Combo3_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form1::HScroll1_Change);
    connect(HScroll1, &QScrollBar::sliderMoved, this, &Form1::HScroll1_Scroll);
}

void Form1::Form_Load() {
    Loaded = false;
    Text3->setPlainText(QString::fromUtf8(Note));
    Label3->setText(QString::number(HScroll1->sliderPosition()));
    HScroll1->setValue(440);
    Combo1->setCurrentIndex(0);
    Combo2->setCurrentIndex(31);
    Combo3->setCurrentIndex(1);
    Loaded = true;
    Combo1_Click();
}

void Form1::Combo1_Click() {
    if (Loaded) Recalculate();
}

void Form1::Combo2_Click() {
    if (Loaded) Recalculate();
}

void Form1::Combo3_Click() {
    if (Loaded) Recalculate();
}

void Form1::HScroll1_Change() {
    Label3->setText(QString::number(HScroll1->sliderPosition()));
    if (Loaded) Recalculate();
}

void Form1::HScroll1_Scroll() {
    HScroll1_Change();
}

void Form1::Recalculate() {
    // While the thumb is dragged its position is ahead of the value; otherwise they agree.
    const double f = CutoffHertz(HScroll1->sliderPosition(), Combo1->currentText());
    const double r = ResistorOhms(Combo2->currentText(), Combo3->currentText());
    const TCapacitors c = FilterCapacitors(f, r);

    const TShownValue c1 = ShowMicrofarads(c.C1);
    Text1->setText(c1.Text);
    Label4->setText(c1.Unit);
    const TShownValue c2 = ShowMicrofarads(c.C2);
    Text2->setText(c2.Text);
    Label5->setText(c2.Unit);
    emit Recalculated();
}
