#include "components/Resistor.h"

#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

#include <QPainter>
#include <cmath>

namespace {
TPicturePair Intact;
TPicturePair BurntPictures;
} // namespace

void TResistor::ClassStartup() {
    Intact.Load("bmpResistor");
    BurntPictures.Load("bmpResistorBurntOut");
}

void TResistor::ClassExit() {
    Intact.Free();
    BurntPictures.Free();
}

TResistor::TResistor() : TIron(KindResistor) {
    SetResistance(1000);
    SetMaxPower(0.5);
    Intact.CopyTo(*this);
}

void TResistor::SetResistance(double value) {
    TIron::SetResistance(value);
    update(); // the body shows the value
}

void TResistor::SetMaxPower(double value) {
    SetRating(MaxPower, value);
}

void TResistor::BurnOut(bool burn) {
    if (!burn) return;
    if (Burnt) throw EThrownText("Already burnt !");
    Burnt = true;
    SetResistance(1E60); // an open circuit
    ShowBurnt(BurntPictures);
}

void TResistor::UpdateState() {
    TIron::UpdateState();
    // A resistor without a rating (only a file can give one) cannot be overloaded.
    Load = MaxPower > 0 ? Power / MaxPower : 0;
}

void TResistor::SaveToFile(QIODevice& file) {
    TIron::SaveToFile(file);
    SchemeIO::WriteDouble(file, MaxPower);
}

void TResistor::LoadFromFile(QIODevice& file) {
    TIron::LoadFromFile(file);
    MaxPower = SchemeIO::ReadDouble(file);
    SetMaxPower(MaxPower);
}

QString TResistor::GetHint() {
    if (Burnt) return GetText(504);
    QString hint = "R=";
    if (!Hidden)
        hint += FormatPrefixed(Resistance) + GetText(162) + ", ";
    else
        hint += HiddenRange("100", GetText(162), "100", GetText(162)) + ", ";
    return hint + "W" + GetText(180) + "=" + FormatPrefixed(MaxPower) + GetText(164);
}

void TResistor::FillPanel(TPanelValues& values) {
    values.Values[0] = Resistance;
    values.Values[1] = MaxPower;
    if (Hidden) values.Flags |= HiddenFlag(0);
}

void TResistor::TakePanel(const TPanelValues& values) {
    if (Burnt) return;
    SetHidden(values.Flags & HiddenFlag(0));
    SetResistance(values.Values[0]);
    SetMaxPower(values.Values[1]);
}

QString TResistor::ValueLabel(double r) {
    auto withLetter = [](double v, QChar letter) {
        QString text = QString::asprintf("%.1lf", v);
        const qsizetype point = text.indexOf('.');
        if (point >= 0) text[point] = letter;
        return text;
    };
    if (r >= 1000000) return withLetter(r * 0.000001, QChar(0x041C)); // М
    if (r >= 1000) return withLetter(r * 0.001, QChar(0x043A));       // к
    return QString::asprintf("%.1lf", r);
}

void TResistor::paintEvent(QPaintEvent* e) {
    TIron::paintEvent(e);
    if (Hidden || Burnt) return;
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font("Arial");
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(Qt::white);
    const QString label = ValueLabel(Resistance);
    const QFontMetrics metrics(font);
    const int h = metrics.height();
    const int w = metrics.horizontalAdvance(label);
    if (!Vertical) {
        // Centred on the body, its top at the middle line less half a line.
        p.drawText(QRect(width() / 2 - w / 2, height() / 2 - h / 2, w, h),
                   Qt::AlignHCenter | Qt::AlignTop, label);
    } else {
        // Turned a quarter anticlockwise, reading upwards along the body.
        p.translate(width() / 2 - h / 2, height() / 2);
        p.rotate(-90);
        p.drawText(QRect(-w / 2, 0, w, h), Qt::AlignHCenter | Qt::AlignTop, label);
    }
}
