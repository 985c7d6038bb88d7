// The small windows round the workbench: the language dialog, the progress window of start-up,
// the about window with its scrolling credits, the intro video, and the main window's buttons
// that open them.

#include "board/Host.h"
#include "shell/Wiring.h"
#include "support/Mouse.h"
#include "support/Seams.h"

#include "components/Iron.h"
#include "components/Kinds.h"
#include "shell/About.h"
#include "shell/Auxwindows.h"
#include "shell/Introform.h"
#include "shell/Loading.h"
#include "shell/Optionsform.h"
#include "shell/Workshop.h"

#include <QMediaPlayer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVideoWidget>
#include <QtEndian>

namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The stored "Language"; invalid when there is none.
QVariant StoredLanguage() {
    return OpenSettings()->value("Language");
}

void StoreLanguage(const QVariant& value) {
    if (!value.isValid()) return;
    auto settings = OpenSettings();
    settings->setValue("Language", value);
}

// A folder with the language files named.
void PutLanguageFiles(const QString& folder, const QStringList& names) {
    for (const QString& name : names)
        WriteFile(folder + "/" + name, "508\tOK\n");
}

// Texts for one test: the English ones with 702, the about text, replaced.
bool LoadTextsWithAbout(const QString& folder, const QString& about) {
    QByteArray english = FileBytes(VEXILO_SOURCE_DIR "/workbench/lang/English.lng");
    QString escaped = about;
    escaped.replace("\n", "\\n");
    english += "\n702\t" + escaped.toUtf8() + "\n";
    WriteFile(folder + "/Texts.lng", english);
    return LoadLanguageFile(folder + "/Texts.lng");
}

// Rows of `image` that hold a dark (text) pixel.
QList<int> DarkRows(const QImage& image) {
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 80) {
                rows << y;
                break;
            }
    return rows;
}

// An uncompressed AVI of `frames` frames of w x h pixels at `fps` frames a second: a grey
// picture with a moving white bar.
QByteArray MakeAvi(int w, int h, int frames, int fps) {
    auto u32 = [](QByteArray& b, quint32 v) {
        char s[4];
        qToLittleEndian(v, s);
        b.append(s, 4);
    };
    auto u16 = [](QByteArray& b, quint16 v) {
        char s[2];
        qToLittleEndian(v, s);
        b.append(s, 2);
    };
    auto chunk = [&](const char* id, const QByteArray& data) {
        QByteArray b(id, 4);
        u32(b, quint32(data.size()));
        b += data;
        if (data.size() % 2) b += '\0';
        return b;
    };
    auto list = [&](const char* type, const QByteArray& data) {
        return chunk("LIST", QByteArray(type, 4) + data);
    };
    const int rowBytes = (w * 3 + 3) & ~3, frameBytes = rowBytes * h;

    QByteArray avih;
    for (quint32 v : {quint32(1000000 / fps), quint32(frameBytes * fps), 0u, 0x10u, quint32(frames),
                      0u, 1u, quint32(frameBytes), quint32(w), quint32(h), 0u, 0u, 0u, 0u})
        u32(avih, v);
    QByteArray strh("vidsDIB ", 8);
    u32(strh, 0);
    u16(strh, 0);
    u16(strh, 0);
    for (quint32 v :
         {0u, 1u, quint32(fps), 0u, quint32(frames), quint32(frameBytes), 0xFFFFFFFFu, 0u})
        u32(strh, v);
    for (quint16 v : {quint16(0), quint16(0), quint16(w), quint16(h)})
        u16(strh, v);
    QByteArray strf;
    u32(strf, 40);
    u32(strf, quint32(w));
    u32(strf, quint32(h));
    u16(strf, 1);
    u16(strf, 24);
    for (quint32 v : {0u, quint32(frameBytes), 0u, 0u, 0u, 0u})
        u32(strf, v);
    const QByteArray hdrl =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));

    QByteArray movi("movi", 4), idx1;
    for (int k = 0; k < frames; ++k) {
        QByteArray frame(frameBytes, char(90));
        const int bar = k % w;
        for (int y = 0; y < h; ++y)
            for (int c = 0; c < 3; ++c)
                frame[y * rowBytes + bar * 3 + c] = char(255);
        idx1 += QByteArray("00db", 4);
        u32(idx1, 0x10);
        u32(idx1, quint32(movi.size()));
        u32(idx1, quint32(frameBytes));
        movi += chunk("00db", frame);
    }
    const QByteArray body =
        QByteArray("AVI ", 4) + hdrl + chunk("LIST", movi) + chunk("idx1", idx1);
    return chunk("RIFF", body);
}

} // namespace

class TestAuxWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void languageButtonsFollowTheFiles_data();
    void languageButtonsFollowTheFiles();
    void okStoresOnlyAChangedLanguage_data();
    void okStoresOnlyAChangedLanguage();
    void languageThatCannotBeStoredIsNotAnnounced();

    void loadingWindowFollowsThePictures();

    void aboutTextPicture_data();
    void aboutTextPicture();
    void aboutTextScrollsAndComesRound();
    void aboutClosesOnAPress_data();
    void aboutClosesOnAPress();

    void mainWindowButtonsOpenTheWindows();

    void introTakesTheVideoSizeAndEndsOnEsc();
    void introEndsWithTheVideo();

private:
    TTestSeams* Seams = nullptr;
};

void TestAuxWindows::initTestCase() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
    RegisterPartKinds();
    TIron::ExecuteStartups();
}

void TestAuxWindows::init() {
    Seams = new TTestSeams;
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
}

void TestAuxWindows::cleanup() {
    SetModalHandler(nullptr);
    delete Seams;
    Seams = nullptr;
}

// --- The language dialog ----------------------------------------------------------------------

void TestAuxWindows::languageButtonsFollowTheFiles_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("russianEnabled");
    QTest::addColumn<bool>("englishEnabled");
    QTest::addColumn<QString>("checked");
    const QStringList all = {"Russian.lng", "English.lng", "Estonian.lng"};
    // Russian is the default language, but without its file it cannot be chosen.
    QTest::newRow("only English.lng, nothing stored")
        << QStringList{"English.lng"} << QVariant() << false << true << "Russian";
    QTest::newRow("all files, English stored") << all << QVariant(0) << true << true << "English";
    QTest::newRow("no files, Estonian stored")
        << QStringList() << QVariant(2) << false << false << "Estonian";
    QTest::newRow("a value no button stands for") << all << QVariant(5) << true << true << "";
}

void TestAuxWindows::languageButtonsFollowTheFiles() {
    QFETCH(QStringList, files);
    QFETCH(QVariant, stored);
    QFETCH(bool, russianEnabled);
    QFETCH(bool, englishEnabled);
    QFETCH(QString, checked);
    PutLanguageFiles(Seams->Dir.path(), files);
    StoreLanguage(stored);

    TOptions dialog(nullptr, Seams->Dir.path());
    QCOMPARE(dialog.Russian->isEnabled(), russianEnabled);
    QCOMPARE(dialog.English->isEnabled(), englishEnabled);
    QString shown;
    for (QRadioButton* b : {dialog.Russian, dialog.English, dialog.Estonian})
        if (b->isChecked()) shown = b->text();
    const QString expected = checked == "Russian"    ? GetText(753)
                             : checked == "English"  ? GetText(754)
                             : checked == "Estonian" ? GetText(1106)
                                                     : QString();
    QCOMPARE(shown, expected);
    QVERIFY(Seams->Messages.isEmpty());
}

void TestAuxWindows::okStoresOnlyAChangedLanguage_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("choose"); // the button the user clicks; empty: none
    QTest::addColumn<bool>("ok");        // OK, else Cancel
    QTest::addColumn<QVariant>("after");
    QTest::addColumn<bool>("notice");
    QTest::newRow("default kept") << QVariant() << "Russian" << true << QVariant() << false;
    QTest::newRow("English kept") << QVariant(0) << "English" << true << QVariant(0) << false;
    QTest::newRow("default to English") << QVariant() << "English" << true << QVariant(0) << true;
    QTest::newRow("English to Russian") << QVariant(0) << "Russian" << true << QVariant(1) << true;
    QTest::newRow("cancelled") << QVariant() << "English" << false << QVariant() << false;
    QTest::newRow("nothing chosen") << QVariant(5) << "" << true << QVariant(5) << false;
}

void TestAuxWindows::okStoresOnlyAChangedLanguage() {
    QFETCH(QVariant, stored);
    QFETCH(QString, choose);
    QFETCH(bool, ok);
    QFETCH(QVariant, after);
    QFETCH(bool, notice);
    PutLanguageFiles(Seams->Dir.path(), {"Russian.lng", "English.lng", "Estonian.lng"});
    StoreLanguage(stored);
    const QByteArray before = FileBytes(SettingsFilePath());

    TOptions dialog(nullptr, Seams->Dir.path());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // On the button's round mark, which a wide row of the dialog leaves at its left.
    auto mark = [](QWidget* b) { return QPoint(8, b->height() / 2); };
    if (choose == "Russian")
        QTest::mouseClick(dialog.Russian, Qt::LeftButton, {}, mark(dialog.Russian));
    if (choose == "English")
        QTest::mouseClick(dialog.English, Qt::LeftButton, {}, mark(dialog.English));
    QTest::mouseClick(ok ? dialog.btnOk : dialog.btnCancel, Qt::LeftButton);

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(StoredLanguage().toString(), after.toString());
    QCOMPARE(StoredLanguage().isValid(), after.isValid());
    if (after == stored) QCOMPARE(FileBytes(SettingsFilePath()), before); // not even rewritten
    if (notice) {
        QCOMPARE(Seams->Messages.size(), 1);
        QCOMPARE(Seams->Messages[0].Text, GetText(1107));
        QCOMPARE(Seams->Messages[0].Caption, GetText(751));
        QCOMPARE(Seams->Messages[0].Owner, nullptr);
    } else {
        QVERIFY(Seams->Messages.isEmpty());
    }
}

void TestAuxWindows::languageThatCannotBeStoredIsNotAnnounced() {
    // A settings file nobody can create: its folder would have to be where a file is.
    PutLanguageFiles(Seams->Dir.path(), {"Russian.lng", "English.lng"});
    WriteFile(Seams->Dir.filePath("blocker"), "");
    SetSettingsFilePath(Seams->Dir.filePath("blocker/settings.ini"));

    TOptions dialog(nullptr, Seams->Dir.path());
    QVERIFY(dialog.Russian->isChecked());
    dialog.English->click();
    dialog.btnOk->click();

    QCOMPARE(Seams->Messages.size(), 1);
    QVERIFY(Seams->Messages[0].Text != GetText(1107));
    QVERIFY2(Seams->Messages[0].Text.contains("Language"), qPrintable(Seams->Messages[0].Text));
    QVERIFY(!QFile::exists(SettingsFilePath()));
    QCOMPARE(dialog.result(), int(QDialog::Accepted)); // the dialog goes on and closes
}

// --- The progress window ----------------------------------------------------------------------

void TestAuxWindows::loadingWindowFollowsThePictures() {
    QWidget owner;
    owner.resize(1024, 768);
    owner.show();
    BenchHost.ShowLoadingWindow = [&owner](bool visible) { ShowLoadingWindow(&owner, visible); };

    BenchHost.ShowLoadingWindow(true);
    QVERIFY(LoadingForm);
    QVERIFY(LoadingForm->isVisible());
    QCOMPARE(LoadingForm->windowTitle(), GetText(731));
    QCOMPARE(LoadingForm->size(), QSize(471, 42));
    // The bar starts where the counter stands and takes one step per vertical picture, and a
    // count beyond the expected 58 leaves it full rather than stuck.
    const QProgressBar* bar = LoadingForm->CurrentStatus;
    QCOMPARE(bar->value(), qMin(LoadingProgress(), 58));
    while (LoadingProgress() < 60) {
        LoadTransposedBitmap("bmpResistor");
        QCOMPARE(bar->value(), qMin(LoadingProgress(), 58));
    }
    BenchHost.ShowLoadingWindow(false);
    QVERIFY(!LoadingForm);
    LoadTransposedBitmap("bmpResistor"); // nobody is watching any more
    // Opened again with the count already beyond the bar's end, it starts full.
    BenchHost.ShowLoadingWindow(true);
    QCOMPARE(LoadingForm->CurrentStatus->value(), 58);
    BenchHost.ShowLoadingWindow(false);
    BenchHost.ShowLoadingWindow = nullptr;
}

// --- The about window -------------------------------------------------------------------------

void TestAuxWindows::aboutTextPicture_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("one line") << "Vexilo" << 1;
    QTest::newRow("three lines") << "Vexilo\nteaching\npackage" << 3;
    QTest::newRow("an empty line counts") << "Vexilo\n\npackage" << 3;
}

void TestAuxWindows::aboutTextPicture() {
    QFETCH(QString, text);
    QFETCH(int, lines);
    QVERIFY(LoadTextsWithAbout(Seams->Dir.path(), text));
    TAboutPanel panel;
    const int lineHeight = QFontMetrics(panel.DTxt->font()).height();
    QCOMPARE(panel.TextPicture.size(), QSize(285, lines * lineHeight + 2));
    // Each non-empty line is drawn in its own band; the two spare rows stay clear.
    const QList<int> dark = DarkRows(panel.TextPicture);
    const QStringList texts = text.split('\n');
    for (int i = 0; i < lines; ++i) {
        const bool inked =
            std::any_of(dark.begin(), dark.end(), [&](int y) { return y / lineHeight == i; });
        QCOMPARE(inked, !texts[i].isEmpty());
    }
    QVERIFY(dark.last() < lines * lineHeight);
}

void TestAuxWindows::aboutTextScrollsAndComesRound() {
    QVERIFY(LoadTextsWithAbout(Seams->Dir.path(), "Vexilo"));
    TAboutPanel panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    const int height = panel.TextPicture.height(), window = panel.DTxt->height();
    QCOMPARE(panel.Timer1->interval(), 1000);
    QVERIFY(panel.Timer1->isActive());
    QCOMPARE(panel.y, 0);
    QCOMPARE(DarkRows(panel.DTxt->grab().toImage()).first(), DarkRows(panel.TextPicture).first());

    // After the pause it moves up one pixel a tick.
    panel.Timer1Timer();
    QCOMPARE(panel.Timer1->interval(), 100);
    QCOMPARE(panel.y, -1);
    // The picture's last row is the last to leave; then the text comes in from below.
    while (panel.y > -height)
        panel.Timer1Timer();
    panel.Timer1Timer();
    QCOMPARE(panel.y, window);
    QVERIFY(DarkRows(panel.DTxt->grab().toImage()).isEmpty());
    while (panel.y > window - height)
        panel.Timer1Timer();
    const QList<int> rows = DarkRows(panel.DTxt->grab().toImage());
    QVERIFY(!rows.isEmpty());
    QCOMPARE(rows.first(), window - height + DarkRows(panel.TextPicture).first());

    // Closed and shown again: the text waits where it stopped, for the pause first.
    const int stopped = panel.y;
    panel.hide();
    QVERIFY(!panel.Timer1->isActive());
    panel.show();
    QCOMPARE(panel.Timer1->interval(), 1000);
    QVERIFY(panel.Timer1->isActive());
    QCOMPARE(panel.y, stopped);
}

void TestAuxWindows::aboutClosesOnAPress_data() {
    QTest::addColumn<QPoint>("at");
    QTest::newRow("on the picture") << QPoint(20, 40);
    QTest::newRow("on the text") << QPoint(170, 290);
}

void TestAuxWindows::aboutClosesOnAPress() {
    QFETCH(QPoint, at);
    TAboutPanel panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    TMouse(&panel).Press(at);
    QVERIFY(!panel.isVisible());
}

// --- The main window's buttons ----------------------------------------------------------------

void TestAuxWindows::mainWindowButtonsOpenTheWindows() {
    TWorkshopForm form;
    form.resize(1024, 768);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.TimerCat->stop();
    JoinWindows(&form);
    TAboutPanel* about = CreateAboutPanel(&form);
    QCOMPARE(about, AboutPanel.data());

    QStringList opened;
    SetModalHandler([&](QDialog* dialog) {
        dialog->show();
        if (auto* options = qobject_cast<TOptions*>(dialog)) {
            opened << "options";
            options->btnCancel->click();
        } else if (dialog == AboutPanel) {
            opened << "about";
            // Shown, it waits for the pause before the text moves.
            if (!AboutPanel->Timer1->isActive() || AboutPanel->Timer1->interval() != 1000)
                opened << "still";
            dialog->reject();
        }
        return dialog->result();
    });
    QTest::mouseClick(form.btnOptions, Qt::LeftButton);
    QTest::mouseClick(form.btnAbout, Qt::LeftButton);
    QCOMPARE(opened, QStringList({"options", "about"}));
    QVERIFY(!about->isVisible());
    delete about;
}

// --- The intro --------------------------------------------------------------------------------

void TestAuxWindows::introTakesTheVideoSizeAndEndsOnEsc() {
    // No file, no intro.
    const QString path = Seams->Dir.filePath("Intro.avi");
    QVERIFY(!PlayIntro(path));
    // A minute of video: only Esc can end it within the test.
    WriteFile(path, MakeAvi(64, 48, 120, 2));
    TIntroForm intro(path);
    intro.Play();
    QTRY_VERIFY_WITH_TIMEOUT(intro.size() == QSize(64, 48) || intro.Finished(), 20000);
    if (intro.Finished())
        QSKIP(qPrintable("this machine cannot play the video: " + intro.Player->errorString()));
    QCOMPARE(intro.aviRect->geometry(), QRect(0, 0, 64, 48));
    QCOMPARE(intro.Player->playbackState(), QMediaPlayer::PlayingState);

    QTest::keyClick(&intro, Qt::Key_Escape);
    QVERIFY(intro.Finished());
    QCOMPARE(intro.Player->playbackState(), QMediaPlayer::StoppedState);
    intro.WaitUntilFinished(); // returns at once: start-up goes on
}

void TestAuxWindows::introEndsWithTheVideo() {
    const QString path = Seams->Dir.filePath("Intro.avi");
    WriteFile(path, MakeAvi(32, 24, 3, 10));
    TIntroForm intro(path);
    intro.Play();
    QTRY_VERIFY_WITH_TIMEOUT(intro.Finished(), 20000);
    if (intro.Player->error() != QMediaPlayer::NoError)
        QSKIP(qPrintable("this machine cannot play the video: " + intro.Player->errorString()));
    QCOMPARE(intro.size(), QSize(32, 24));
}

QTEST_MAIN(TestAuxWindows)
#include "tst_auxwindows.moc"
