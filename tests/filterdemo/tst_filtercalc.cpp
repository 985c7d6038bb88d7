// The arithmetic of the filter calculator, from the window's inputs to the texts it shows.
#include "Filtercalc.h"

#include <QTest>
#include <limits>

class TestFilterCalc : public QObject {
    Q_OBJECT
private slots:
    void capacitors_data();
    void capacitors();
    void shownValue_data();
    void shownValue();
    void resistorList();
};

void TestFilterCalc::capacitors_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("frequencyUnit");
    QTest::addColumn<QString>("resistor");
    QTest::addColumn<QString>("resistorUnit");
    QTest::addColumn<QStringList>("shown"); // C1, its unit, C2, its unit

    using L = QStringList;
    QTest::newRow("opening") << 440 << "Гц"
                             << "22"
                             << "кОм" << L{"23,2", "нф", "11,6", "нф"};
    QTest::newRow("1 kHz 10 kOhm") << 1 << "кГц"
                                   << "10"
                                   << "кОм" << L{"22,5", "нф", "11,2", "нф"};
    // The largest capacitors stay in microfarads, however many digits they need.
    QTest::newRow("1 Hz 1 Ohm") << 1 << "Гц"
                                << "1"
                                << "Ом" << L{"225079", "мкф", "112539,5", "мкф"};
    QTest::newRow("999 GHz 910 GOhm") << 999 << "ГГц"
                                      << "910"
                                      << "ГОм" << L{"0", "пф", "0", "пф"};
    QTest::newRow("1 MHz 1 MOhm") << 1 << "МГц"
                                  << "1"
                                  << "МОм" << L{"0,2", "пф", "0,1", "пф"};
    QTest::newRow("1 kHz 1 MOhm") << 1 << "кГц"
                                  << "1"
                                  << "МОм" << L{"225", "пф", "112,5", "пф"};
    // 1,1 must be read with its decimal comma, not as 1.
    QTest::newRow("1 kHz 1,1 kOhm") << 1 << "кГц"
                                    << "1,1"
                                    << "кОм" << L{"204,6", "нф", "102,3", "нф"};
    // C2 is 11,5996 nF: the digits are cut, not rounded up to 11,6.
    QTest::newRow("cut") << 441 << "Гц"
                         << "22"
                         << "кОм" << L{"23,1", "нф", "11,5", "нф"};
}

void TestFilterCalc::capacitors() {
    QFETCH(int, number);
    QFETCH(QString, frequencyUnit);
    QFETCH(QString, resistor);
    QFETCH(QString, resistorUnit);

    const TCapacitors c =
        FilterCapacitors(CutoffHertz(number, frequencyUnit), ResistorOhms(resistor, resistorUnit));
    const TShownValue c1 = ShowMicrofarads(c.C1), c2 = ShowMicrofarads(c.C2);
    QTEST((QStringList{c1.Text, c1.Unit, c2.Text, c2.Unit}), "shown");
}

void TestFilterCalc::shownValue_data() {
    QTest::addColumn<double>("microfarads");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("unit");

    QTest::newRow("cut in microfarads") << 1.99 << "1,9"
                                        << "мкф";
    QTest::newRow("one microfarad") << 1.0 << "1"
                                    << "мкф";
    QTest::newRow("below a microfarad") << 0.99995 << "999,9"
                                        << "нф";
    QTest::newRow("no trailing zero") << 0.1 << "100"
                                      << "нф";
    QTest::newRow("one nanofarad") << 0.001 << "1"
                                   << "нф";
    QTest::newRow("below a nanofarad") << 0.00099995 << "999,9"
                                       << "пф";
    QTest::newRow("zero") << 0.0 << "0"
                          << "пф";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << ""
                              << "";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << ""
                                  << "";
    QTest::newRow("negative") << -5.0 << ""
                              << "";
}

void TestFilterCalc::shownValue() {
    QFETCH(double, microfarads);
    const TShownValue shown = ShowMicrofarads(microfarads);
    QTEST(shown.Text, "text");
    QTEST(shown.Unit, "unit");
}

void TestFilterCalc::resistorList() {
    const QStringList expected = {
        "1",   "1,1", "1,2", "1,3", "1,5", "1,8", "2",   "2,2", "2,4", "2,7", "3",   "3,3",
        "3,6", "3,9", "4,3", "4,7", "5,1", "5,6", "6,2", "6,8", "7,5", "8,2", "9,1", "10",
        "11",  "12",  "13",  "15",  "16",  "18",  "20",  "22",  "24",  "27",  "30",  "33",
        "36",  "39",  "43",  "47",  "51",  "56",  "62",  "68",  "75",  "82",  "91",  "100",
        "110", "120", "130", "150", "160", "180", "200", "220", "240", "270", "300", "330",
        "360", "390", "430", "470", "510", "560", "620", "680", "750", "820", "910"};
    QCOMPARE(ResistorValues(), expected);

    // Every entry must read back as a number, each larger than the one before.
    double previous = 0;
    for (const QString& v : expected) {
        const double ohms = ResistorOhms(v, QStringLiteral("Ом"));
        QVERIFY2(ohms > previous, qPrintable(v));
        previous = ohms;
    }
}

QTEST_GUILESS_MAIN(TestFilterCalc)
#include "tst_filtercalc.moc"
