// The lamp and the heater: glow pictures, load and glow, burning out with the last flash, the
// parameters panel, hints and scheme-file records.

#include "support/Board.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "components/Heater.h"
#include "document/Scheme.h"
#include "schemefile/SchemeIO.h"

#include <QBuffer>
#include <QTest>
#include <cmath>

namespace {
TLamp* NewPart(const QString& kind) {
    return kind == "heater" ? new THeater : new TLamp;
}
const TGlowPictures& PicturesOf(const QString& kind) {
    return kind == "heater" ? THeater::ClassPictures() : TLamp::ClassPictures();
}
QRgb Pixel(const QImage& image, int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}
bool Near(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
}
} // namespace

class TestLamps : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
        TLamp::ClassStartup();
        THeater::ClassStartup();
    }
    void glowPictures_data();
    void glowPictures();
    void loadAndGlow_data();
    void loadAndGlow();
    void overloadBurnsOutWithALastFlash();
    void panelExchange_data();
    void panelExchange();
    void hints_data();
    void hints();
    void schemeRecord_data();
    void schemeRecord();
    void noRatingFromAFileMeansNoOverload_data();
    void noRatingFromAFileMeansNoOverload();
};

void TestLamps::glowPictures_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("region");
    QTest::newRow("lamp") << "lamp" << QRect(21, 11, 22, 21);
    QTest::newRow("heater") << "heater" << QRect(0, 0, 64, 64);
}

void TestLamps::glowPictures() {
    QFETCH(QString, kind);
    QFETCH(QRect, region);
    const QString name = kind == "heater" ? "bmpHeater" : "bmpLamp";
    const QImage off = LoadTransparentBitmap(name + "Off");
    const QImage min = LoadTransparentBitmap(name + "Min");
    const QImage on = LoadTransparentBitmap(name + "On");
    const TGlowPictures& glow = PicturesOf(kind);
    QList<double> light; // summed brightest channel of each picture
    for (int i = 0; i < TGlowPictures::Count; ++i) {
        const double x = std::min(i * 0.05, 1.0);
        auto mix = [x](int a, int b) { return int((1 - x) * a + x * b); };
        light << 0;
        for (int r = 0; r < 64; ++r)
            for (int c = 0; c < 64; ++c) {
                QRgb want = Pixel(on, c, r);
                if (i < 17 && region.contains(c, r)) {
                    const QRgb p = Pixel(i <= 4 ? off : min, c, r);
                    const QRgb q = Pixel(i <= 4 ? min : on, c, r);
                    want = qRgba(mix(qRed(p), qRed(q)), mix(qGreen(p), qGreen(q)),
                                 mix(qBlue(p), qBlue(q)), qAlpha(want));
                }
                const QString where = QString("picture %1 at %2, %3").arg(i).arg(c).arg(r);
                QVERIFY2(Pixel(glow.Horizontal[i], c, r) == want, qPrintable(where));
                QVERIFY2(Pixel(glow.Vertical[i], r, c) == want, qPrintable(where + " vertical"));
                light.last() += std::max({qRed(want), qGreen(want), qBlue(want)});
            }
    }
    // The part visibly brightens from cold to full glow. (Between neighbouring steps the
    // truncation can outweigh a small blend, so only steps a quarter of the rating apart count.)
    for (int i : {0, 5, 10, 16})
        QVERIFY2(light[i] < light[std::min(i + 5, 17)], qPrintable(QString::number(i)));
}

void TestLamps::loadAndGlow_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("current"); // as the solver hands it over
    QTest::addColumn<double>("load");
    QTest::addColumn<int>("brightness");
    QTest::newRow("cold lamp") << "lamp" << 0.0 << 0.0 << 0;
    QTest::newRow("lamp, quarter power") << "lamp" << 0.025 << 0.25 / 1.2 << 5;
    QTest::newRow("lamp, rated power") << "lamp" << 0.05 << 1 / 1.2 << 20;
    QTest::newRow("lamp at 0.15 W") << "lamp" << std::sqrt(0.15 / 50) << 1.0 << 20;
    QTest::newRow("lamp, reversed") << "lamp" << -0.025 << 0.25 / 1.2 << 5;
    QTest::newRow("heater, half current") << "heater" << 800.0 / 240 / 2 << 0.5 << 10;
    QTest::newRow("heater, reversed") << "heater" << -800.0 / 240 / 2 << 0.5 << 10;
    QTest::newRow("heater, twice") << "heater" << 800.0 / 240 * 2 << 2.0 << 20;
}

void TestLamps::loadAndGlow() {
    QFETCH(QString, kind);
    QFETCH(double, current);
    QFETCH(double, load);
    QFETCH(int, brightness);
    TBoardFixture bench;
    TLamp* part = NewPart(kind);
    Place(part, 2, 2, 2, 3);
    part->SetCurrent(0.04); // another glow first, so that the change is seen
    part->SetCurrent(current);
    QVERIFY(Near(part->Load, load));
    QCOMPARE(part->Brightness, brightness);
    QCOMPARE(part->HorizontalPicture, PicturesOf(kind).Horizontal[brightness]);
    QCOMPARE(part->VerticalPicture, PicturesOf(kind).Vertical[brightness]);
}

void TestLamps::overloadBurnsOutWithALastFlash() {
    TBoardFixture bench;
    Place(new TTestPart(0, 3), 3, 3, 4, 3); // 0.18 W: beyond the lamp's 20 % tolerance
    auto* lamp = new TLamp;
    Place(lamp, 3, 3, 4, 3);
    QImage flash;
    SetWaitHandler([&](int) { flash = lamp->VerticalPicture; });
    bench.Board->CircuitChanged = true;
    bench.Board->Tick();
    QCOMPARE(flash, TLamp::ClassPictures().Vertical[20]);
    QVERIFY(lamp->Burnt);
    QCOMPARE(lamp->Resistance, 1E60);
    QCOMPARE(lamp->VerticalPicture, TLamp::ClassPictures().Burnt.Vertical);
    QCOMPARE(bench.Seams.Sounds, QStringList{"wavOnBurnOut"});
    QVERIFY(bench.Log().contains("\nTLamp: z=    1E+60"));
    QCOMPARE(lamp->Load, 0.0); // solved again: the open filament carries nothing
    QVERIFY_THROWS_EXCEPTION(EThrownText, lamp->BurnOut(true));
    QCOMPARE(bench.Seams.Sounds.size(), 1);
    // The panel shows zeros for a burnt lamp and leaves it alone.
    TPanelValues values{{1, 1, 1, 1}, 0};
    lamp->FillPanel(values);
    QCOMPARE(values.Values[0] + values.Values[1] + values.Values[2], 0.0);
    lamp->TakePanel({{10, 2, 20, 0}, 0});
    QCOMPARE(lamp->Resistance, 1E60);
}

void TestLamps::panelExchange_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QList<double>>("sent");    // voltage, current or power, -, -
    QTest::addColumn<int>("flags");             // the hidden marks sent and filled back
    QTest::addColumn<QList<double>>("ratings"); // voltage, current, power, resistance after
    QTest::addColumn<QList<double>>("filled");
    QTest::newRow("lamp, power hidden")
        << "lamp" << QList<double>{6, 0.5, 3, 0} << 0x80 << QList<double>{6, 0.5, 3, 12}
        << QList<double>{6, 0.5, 3, 0};
    QTest::newRow("lamp, voltage hidden")
        << "lamp" << QList<double>{12, 0.1, 0, 0} << 0x20 << QList<double>{12, 0.1, 1.2, 120}
        << QList<double>{12, 0.1, 1.2, 0};
    QTest::newRow("heater, 1000 W")
        << "heater" << QList<double>{240, 1000, 0, 0} << 0x40
        << QList<double>{240, 1000.0 / 240, 1000, 57.6} << QList<double>{240, 1000, 0, 0};
}

void TestLamps::panelExchange() {
    QFETCH(QString, kind);
    QFETCH(QList<double>, sent);
    QFETCH(int, flags);
    QFETCH(QList<double>, ratings);
    QFETCH(QList<double>, filled);
    TBoardFixture bench;
    TLamp* part = NewPart(kind);
    part->TakePanel({{sent[0], sent[1], sent[2], sent[3]}, quint32(flags)});
    const QList<double> now{part->RatedVoltage, part->RatedCurrent, part->RatedPower,
                            part->Resistance};
    TPanelValues values;
    part->FillPanel(values);
    for (int k = 0; k < 4; ++k) {
        QVERIFY2(Near(now[k], ratings[k]), qPrintable(QString::number(now[k])));
        QVERIFY(Near(values.Values[k], filled[k]));
    }
    QCOMPARE(int(values.Flags), flags);
}

void TestLamps::hints_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("flags"); // sent by the panel with the part's own values
    QTest::addColumn<bool>("burnt");
    QTest::addColumn<QString>("hint");
    QTest::newRow("lamp") << "lamp" << 0 << false << "Vnom=2.5 V, Wnom=125 mW, Inom=50 mA";
    QTest::newRow("lamp, power hidden")
        << "lamp" << 0x80 << false << "Vnom=2.5 V, Wnom=from 0.1 W to 10 W";
    QTest::newRow("lamp, voltage hidden")
        << "lamp" << 0x20 << false << "Vnom=from 1 V to 100 V, Wnom=125 mW, Inom=50 mA";
    QTest::newRow("heater, power hidden")
        << "heater" << 0x40 << false << "Vnom=240 V, Wnom=from 0.1 W to 10 W";
    QTest::newRow("burnt lamp") << "lamp" << 0x20 << true << "The lamp has burnt out";
    QTest::newRow("burnt heater") << "heater" << 0 << true << "The heater has burnt out";
}

void TestLamps::hints() {
    QFETCH(QString, kind);
    QFETCH(int, flags);
    QFETCH(bool, burnt);
    QFETCH(QString, hint);
    TBoardFixture bench;
    TLamp* part = NewPart(kind);
    TPanelValues values;
    part->FillPanel(values);
    values.Flags = flags;
    part->TakePanel(values);
    part->BurnOut(burnt);
    QCOMPARE(part->GetHint(), hint);
}

void TestLamps::schemeRecord_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("burnt");
    QTest::newRow("lamp") << "lamp" << false;
    QTest::newRow("heater") << "heater" << false;
    QTest::newRow("burnt lamp") << "lamp" << true;
}

void TestLamps::schemeRecord() {
    QFETCH(QString, kind);
    QFETCH(bool, burnt);
    TBoardFixture bench;
    FormatVersion = Version12;
    TLamp* saved = NewPart(kind);
    Place(saved, 2, 4, 3, 4);
    saved->TakePanel({{6, kind == "heater" ? 3.0 : 0.5, 0, 0}, 0x20 | 0x40 | 0x80});
    saved->BurnOut(burnt);
    QBuffer file;
    file.open(QIODevice::ReadWrite);
    saved->SaveToFile(file);
    QCOMPARE(file.size(), qint64(49 + 16));
    file.seek(49); // the tail: rated voltage and current
    QCOMPARE(SchemeIO::ReadDouble(file), saved->RatedVoltage);
    QCOMPARE(SchemeIO::ReadDouble(file), saved->RatedCurrent);

    file.seek(1); // the loader has taken the kind code
    bench.Seams.Waits.clear();
    TLamp* loaded = NewPart(kind);
    loaded->LoadFromFile(file);
    QCOMPARE(loaded->Burnt, burnt);
    QCOMPARE(loaded->RatedVoltage, saved->RatedVoltage);
    QCOMPARE(loaded->RatedPower, saved->RatedCurrent * saved->RatedVoltage);
    QCOMPARE(loaded->Resistance, saved->Resistance);
    QVERIFY(!loaded->VoltageHidden && !loaded->PowerHidden); // the marks are not kept
    QVERIFY(bench.Seams.Waits.isEmpty());                    // no flash for a part not yet on show
    if (burnt)
        QCOMPARE(loaded->VerticalPicture, PicturesOf(kind).Burnt.Vertical);
    else
        QCOMPARE(loaded->VerticalPicture, PicturesOf(kind).Vertical[0]);
}

void TestLamps::noRatingFromAFileMeansNoOverload_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("voltage");
    QTest::addColumn<double>("current");
    QTest::newRow("lamp without current") << "lamp" << 2.5 << 0.0;
    QTest::newRow("lamp without voltage") << "lamp" << 0.0 << 0.05;
    QTest::newRow("heater without current") << "heater" << 240.0 << 0.0;
    QTest::newRow("heater without voltage") << "heater" << 0.0 << 3.0;
}

void TestLamps::noRatingFromAFileMeansNoOverload() {
    QFETCH(QString, kind);
    QFETCH(double, voltage);
    QFETCH(double, current);
    TBoardFixture bench;
    FormatVersion = Version12;
    QBuffer file;
    file.open(QIODevice::ReadWrite);
    SchemeIO::WriteInt32(file, -1);
    for (double v : {50.0, 0.0, 0.0, 0.0})
        SchemeIO::WriteDouble(file, v);
    for (qint32 v : {0, 0, 1})
        SchemeIO::WriteInt32(file, v); // flags, nodes
    SchemeIO::WriteDouble(file, voltage);
    SchemeIO::WriteDouble(file, current);
    file.seek(0);
    TLamp* part = NewPart(kind);
    part->LoadFromFile(file);
    part->SetCurrent(2.0);
    QCOMPARE(part->Resistance, 50.0);
    QCOMPARE(part->Load, 0.0);
    QCOMPARE(part->Brightness, 0);
}

QTEST_MAIN(TestLamps)
#include "tst_lamps.moc"
