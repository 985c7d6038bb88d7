// Texts, value formatting, pictures, cursors and sounds.

#include "support/Seams.h"

#include "shell/Global.h"

#include <QFile>
#include <QLocale>
#include <QPixmap>
#include <QTest>
#include <limits>

class TestGlobal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void formatPrefixed_data();
    void formatPrefixed();
    void formatValue_data();
    void formatValue();
    void prefixesComeFromTheLanguageFile();
    void decimalSeparatorIsTheUsers();

    void missingTextFallsBack();
    void textsAreCutToTheBuffer();
    void languageFileEscapesAndComments();

    void transposedPicture();
    void programThatShowsNothingDecodesNoPictures();
    void missingBitmapThrows();
    void cursorClearsTheTopLeftColour();
    void soundsMatchWithoutCase();
    void secondSoundReplacesTheFirst();
};

void TestGlobal::initTestCase() {
    QLocale::setDefault(QLocale::c());
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
}

void TestGlobal::cleanup() {
    QLocale::setDefault(QLocale::c());
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
}

// Expected texts use "<n>" for the language file's string n, so the table states the rule
// without repeating the translations.
static QString Expand(QString text) {
    for (int id = 170; id <= 176; ++id)
        text.replace(QString("<%1>").arg(id), GetText(id));
    return text;
}

void TestGlobal::formatPrefixed_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0 << "0 ";
    QTest::newRow("below a pico") << 1E-13 << "0 ";
    QTest::newRow("negative milli") << -0.002 << "-2 <173>";
    QTest::newRow("pico band floor") << 1E-12 << "1 <170>";
    QTest::newRow("nano") << 4.7E-9 << "4.7 <171>";
    QTest::newRow("micro") << 2.2E-5 << "22 <172>";
    QTest::newRow("milli") << 0.5 << "500 <173>";
    QTest::newRow("unit band") << 1.5 << "1.5 ";
    QTest::newRow("three digits") << 123.456 << "123 ";
    QTest::newRow("kilo") << 4700.0 << "4.7 <174>";
    QTest::newRow("mega") << 1.5E6 << "1.5 <175>";
    QTest::newRow("giga") << 2.5E9 << "2.5 <176>";
    QTest::newRow("tera") << 2.5E12 << "2.5 T";
    QTest::newRow("rounds to 1000 in the unit band") << 999.9 << "1000 ";
    QTest::newRow("rounds to 1000 in the milli band") << 0.99951 << "1000 <173>";
    QTest::newRow("rounds half up") << 1.235 << "1.24 ";
    QTest::newRow("negative zero") << -0.0 << "0 ";
    QTest::newRow("negative below a pico") << -5E-13 << "-0 ";
    QTest::newRow("a thousand tera") << 1E15 << "1E3 T";
    QTest::newRow("burnt part") << 1E60 << "1E48 T";
    QTest::newRow("negative huge") << -2.5E20 << "-2.5E8 T";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "\u221E ";
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << "-\u221E ";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "NaN ";
}

void TestGlobal::formatPrefixed() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatPrefixed(value), Expand(expected));
}

void TestGlobal::formatValue_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("negative shows its magnitude") << -3.0 << "3 ";
    QTest::newRow("below 1E-30") << 1E-31 << "0";
    QTest::newRow("below a pico") << 5E-13 << "5E-13";
    QTest::newRow("above 1E15") << 2E16 << "2E16";
    QTest::newRow("inside the bands") << 0.0047 << "4.7 <173>";
    QTest::newRow("huge resistance") << 1E60 << "1E60";
    QTest::newRow("infinity") << -std::numeric_limits<double>::infinity() << "\u221E";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "NaN";
}

void TestGlobal::formatValue() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatValue(value), Expand(expected));
}

void TestGlobal::prefixesComeFromTheLanguageFile() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/Russian.lng"));
    QCOMPARE(FormatPrefixed(4700), QString("4.7 к"));
    QCOMPARE(FormatPrefixed(2.2E-5), QString("22 мк"));
}

void TestGlobal::decimalSeparatorIsTheUsers() {
    QLocale::setDefault(QLocale(QLocale::Russian));
    QCOMPARE(FormatPrefixed(1.5), QString("1,5 "));
    QCOMPARE(FormatValue(2.5E16), QString("2,5E16"));
}

void TestGlobal::missingTextFallsBack() {
    QCOMPARE(GetText(99999), QString("There is no string with ID=99999 !"));
    UnloadLanguage();
    QCOMPARE(GetText(100), QString("There is no string with ID=100 !"));
    QVERIFY(!HasText(100));
    QVERIFY(!LoadLanguageFile("/nonexistent/Russian.lng"));
    QCOMPARE(GetText(170), QString("There is no string with ID=170 !"));
}

void TestGlobal::textsAreCutToTheBuffer() {
    TTestSeams seams;
    const QString path = seams.Dir.filePath("long.lng");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("1\t" + QByteArray(5000, 'x') + "\n2\tshort\n");
    f.close();
    QVERIFY(LoadLanguageFile(path));
    QCOMPARE(GetText(1).size(), 4094);
    QCOMPARE(LoadText(1, 10), QString(8, 'x'));
    QCOMPARE(LoadText(2, 100), QString("short"));
}

void TestGlobal::languageFileEscapesAndComments() {
    TTestSeams seams;
    const QString path = seams.Dir.filePath("escapes.lng");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        "# a comment\r\n7\tline one\\nline two\\tend \\\\ back\r\n8\t\r\nnot a line\n9\tЮникод\n");
    f.close();
    QVERIFY(LoadLanguageFile(path));
    QCOMPARE(GetText(7), QString("line one\nline two\tend \\ back"));
    QCOMPARE(GetText(8), QString("There is no string with ID=8 !")); // empty counts as missing
    QCOMPARE(GetText(9), QString("Юникод"));
}

void TestGlobal::transposedPicture() {
    // Any stored picture serves; the part pictures are 64 wide, the node is square, so make
    // the point with the trash can, which is taller than wide.
    const QImage plain = LoadTransparentBitmap("bmpTrashcan");
    const int before = LoadingProgress();
    int observed = -1;
    SetLoadingProgressObserver([&](int p) { observed = p; });
    const QImage turned = LoadTransposedBitmap("bmpTrashcan");
    SetLoadingProgressObserver(nullptr);
    QCOMPARE(turned.size(), plain.size().transposed());
    QCOMPARE(LoadingProgress(), before + 1);
    QCOMPARE(observed, before + 1);
    for (int y = 0; y < plain.height(); y += 7)
        for (int x = 0; x < plain.width(); x += 5)
            QCOMPARE(turned.pixel(y, x), plain.pixel(x, y));
}

void TestGlobal::programThatShowsNothingDecodesNoPictures() {
    SetPicturesWanted(false);
    const QImage stand = LoadTransparentBitmap("bmpTrashcan");
    const bool missingThrows = [] {
        try {
            LoadTransparentBitmap("bmpNoSuchPicture");
        } catch (const EResNotFound&) {
            return true;
        }
        return false;
    }();
    const QImage jpeg = LoadJpegResource("jpgBoard");
    SetPicturesWanted(true);
    QCOMPARE(stand.size(), QSize(1, 1));
    QCOMPARE(qAlpha(stand.pixel(0, 0)), 0);
    QVERIFY(missingThrows);
    QVERIFY(jpeg.isNull());
    QVERIFY(LoadTransparentBitmap("bmpTrashcan").width() > 1); // and back to the pictures
}

void TestGlobal::missingBitmapThrows() {
    QVERIFY_THROWS_EXCEPTION(EResNotFound, LoadTransparentBitmap("bmpNoSuchPicture"));
    QVERIFY(LoadJpegResource("jpgNoSuchPicture").isNull());
    QCOMPARE(LoadJpegResource("jpgBoard").size(), QSize(448, 448));
}

void TestGlobal::cursorClearsTheTopLeftColour() {
    // A 56 x 20 picture on a magenta ground with a blue bar: the ground must vanish.
    QImage picture(56, 20, QImage::Format_ARGB32);
    picture.fill(QColor(255, 0, 255));
    for (int x = 10; x < 46; ++x)
        for (int y = 8; y < 12; ++y)
            picture.setPixel(x, y, qRgb(0, 0, 200));
    const QCursor cursor = BitmapToCursor(picture);
    QCOMPARE(cursor.hotSpot(), QPoint(28, 10));
    const QImage shown = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown.size(), QSize(56, 20));
    QCOMPARE(qAlpha(shown.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(shown.pixel(55, 19)), 0);
    QCOMPARE(shown.pixel(20, 9), qRgb(0, 0, 200));
}

void TestGlobal::soundsMatchWithoutCase() {
    TTestSeams seams;
    QStringList found;
    SetSoundSink([&](const TSoundRequest& r) {
        if (r.Found) found << r.Name;
    });
    QVERIFY(PlayWaveResource("wavOnSet"));
    QVERIFY(PlayWaveResource("WAVONTRASH"));
    QVERIFY(!PlayWaveResource("wavOnError")); // no such sound is shipped: silence
    QVERIFY(!PlayWaveResource("wavNeg1"));
    QCOMPARE(found, QStringList({"wavOnSet", "WAVONTRASH"}));
}

void TestGlobal::secondSoundReplacesTheFirst() {
    // Through the real player: one buffer, the later sound takes its place.
    SetSoundSink(nullptr);
    QVERIFY(PlayWaveResource("WAVONBURNOUT"));
    QVERIFY(PlayWaveResource("WAVONSET"));
    QList<QObject*> players;
    for (QObject* child : qApp->children())
        if (child->inherits("QSoundEffect")) players << child;
    QCOMPARE(players.size(), 1);
    QVERIFY(players.first()->property("source").toUrl().toString().endsWith("WAVONSET.wav"));
}

QTEST_MAIN(TestGlobal)
#include "tst_global.moc"
