// The multimeter's display arithmetic without a window: a value in a switch position in, the
// display and the beeper out. Text: the minus sign or a blank, positions 1..4, lit points.

#include "instruments/Meterreadout.h"

#include <QTest>
#include <limits>

class TestMeterReadout : public QObject {
    Q_OBJECT
private slots:
    void readout_data();
    void readout();
    void beeper_data();
    void beeper();
    void zeroAndOverloadKeepTheHighVoltSign();
};

void TestMeterReadout::readout_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("highVolt");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("off: blank") << 0 << 5.0 << "     " << false;
    QTest::newRow("7 is no position: blank") << 7 << 5.0 << "     " << false;
    QTest::newRow("12.345 mA on 20 mA: cut, not rounded") << 4 << 0.012345 << " 12.34" << false;
    QTest::newRow("19.999 mA on 20 mA") << 4 << 0.019999 << " 19.99" << false;
    QTest::newRow("20 mA overloads 20 mA") << 4 << 0.020 << "-1   " << false;
    QTest::newRow("1234.5 µA on 2000 µA") << 3 << 0.0012345 << " 1234" << false;
    QTest::newRow("0.5 µA is too small for 2000 µA") << 3 << 0.0000005 << "    0" << false;
    QTest::newRow("5 A on 10 A") << 6 << 5.0 << "  5.00" << false;
    QTest::newRow("230.5 V on 750 V~: no visible point") << 1 << 230.5 << "  230" << true;
    QTest::newRow("750 V overloads 750 V~") << 1 << 750.0 << "-1   " << true;
    QTest::newRow("0.5 V on 750 V~ is too small") << 1 << 0.5 << "    0" << true;
    QTest::newRow("150 V on 200 V~") << 2 << 150.0 << " 150.0" << false;
    QTest::newRow("a true 0 on 20 V") << 17 << 0.0 << "  0.00" << false;
    QTest::newRow("5 mV on 20 V is too small") << 17 << 0.005 << "    0" << false;
    QTest::newRow("-5.5 V on 20 V") << 17 << -5.5 << "- 5.50" << false;
    QTest::newRow("-30 V overloads 20 V") << 17 << -30.0 << "-1   " << false;
    QTest::newRow("125 mV on 200 mV") << 15 << 0.125 << " 125.0" << false;
    QTest::newRow("1.5 V on 2000 mV") << 16 << 1.5 << " 1500" << false;
    QTest::newRow("1 V on 1000 V") << 19 << 1.0 << "    1" << true;
    QTest::newRow("999.9 V on 1000 V") << 19 << 999.9 << "  999" << true;
    QTest::newRow("0 Ω on 200 Ω") << 10 << 0.0 << "   0.0" << false;
    QTest::newRow("47 Ω on 200 Ω") << 10 << 47.0 << "  47.0" << false;
    QTest::newRow("1E30 Ω: open leads overload") << 11 << 1E30 << "-1   " << false;
    QTest::newRow("4.7 kΩ on 20 kΩ") << 12 << 4700.0 << "  4.70" << false;
    QTest::newRow("1.2 MΩ on 2000 kΩ") << 14 << 1.2E6 << " 1200" << false;
    QTest::newRow("a failed solve overloads") << 17 << nan << "-1   " << false;
    QTest::newRow("infinity overloads") << 4 << inf << "-1   " << false;
}

void TestMeterReadout::readout() {
    QFETCH(int, position);
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(bool, highVolt);
    const TMeterReadout r = MeterReadout(position, value);
    QCOMPARE(r.Display.Text(), text);
    QCOMPARE(r.Display.HighVolt, highVolt);
}

void TestMeterReadout::beeper_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("ohms");
    QTest::addColumn<int>("beeper"); // -1 left alone, 0 off, 1 on
    QTest::newRow("0 Ω beeps") << 9 << 0.0 << 1;
    QTest::newRow("69.9 Ω beeps") << 9 << 69.9 << 1;
    QTest::newRow("70 Ω is silent") << 9 << 70.0 << 0;
    QTest::newRow("open leads are silent") << 9 << 1E30 << 0;
    QTest::newRow("no number is silent") << 9 << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("200 Ω range has no beeper") << 10 << 0.0 << -1;
    QTest::newRow("volts leave it alone") << 17 << 1.0 << -1;
}

void TestMeterReadout::beeper() {
    QFETCH(int, position);
    QFETCH(double, ohms);
    QFETCH(int, beeper);
    const TMeterReadout r = MeterReadout(position, ohms);
    QCOMPARE(r.Beeper.has_value() ? int(*r.Beeper) : -1, beeper);
}

void TestMeterReadout::zeroAndOverloadKeepTheHighVoltSign() {
    // An AC range in a circuit without alternating source shows the lone 0 under a lit sign.
    const TMeterDisplay shown = MeterReadout(1, 0).Display;
    const TMeterDisplay zero = MeterZero(shown);
    QCOMPARE(zero.Text(), QString("    0"));
    QVERIFY(zero.HighVolt);
    const TMeterDisplay over = MeterOverload(MeterReadout(19, -12.5).Display);
    QCOMPARE(over.Text(), QString("-1   "));
    QVERIFY(over.HighVolt);
}

QTEST_APPLESS_MAIN(TestMeterReadout)
#include "tst_meterreadout.moc"
