// The workbench's language files workbench/lang/Russian.lng, English.lng and Estonian.lng.
//
// (a) Each file is well-formed UTF-8 whose every non-comment line is "ID<TAB>text" (a line the
//     loader would skip silently, such as one with blanks in place of the tab, is an error), has
//     no ID twice and no empty text, and loads with LoadLanguageFile so that GetText finds every
//     ID. The three files hold exactly the same IDs, and each text has the same printf
//     placeholders (%s, %i, %li, %d, %g, %f, ...) in the same order and the same number of '|'
//     (tooltip|status line, description|pattern) in every language. The English and Estonian
//     files hold no Cyrillic letters (a Russian text copied over and left untranslated).
//
// (b) Every text number the workbench's code uses is in all three files. The code under
//     workbench/ (*.cpp, *.h) is scanned for calls with a literal number:
//         GetText(602)      GetText( 602 )      LoadText(731, size)
//     Numbers that reach GetText through a table or a variable are declared on a comment line
//     in the code, anywhere in the file, with the marker "text ids:" followed by numbers
//     separated by blanks or commas; "a-b" stands for every number from a to b:
//         // text ids: 170-176
//         // text ids: 231, 232, 233
//     The scanner itself is tested on such lines, and the check is shown to report an ID
//     missing from a language file.

#include "shell/Global.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace {

const QStringList LanguageNames = {"Russian", "English", "Estonian"};

QString LanguagePath(const QString& language) {
    return QStringLiteral(VEXILO_SOURCE_DIR "/workbench/lang/") + language + ".lng";
}

QString FallbackText(long id) {
    return QString::asprintf("There is no string with ID=%li !", id);
}

// One language file as written: the raw (still escaped) text of each ID and what is wrong
// with the file's lines.
struct TRawFile {
    bool Readable = false;
    bool ValidUtf8 = false;
    QMap<long, QString> Texts;
    QStringList Problems;
};

TRawFile ReadRawFile(const QString& path) {
    TRawFile file;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return file;
    file.Readable = true;
    const QByteArray bytes = f.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString content = decoder.decode(bytes);
    file.ValidUtf8 = !decoder.hasError();

    static const QRegularExpression lineForm(QStringLiteral("^([0-9]+)\t(.*)$"));
    const QStringList lines = content.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QString where = QStringLiteral("line %1").arg(i + 1);
        const QRegularExpressionMatch m = lineForm.match(line);
        if (!m.hasMatch()) {
            file.Problems << where + ": not ID<TAB>text: " + line;
            continue;
        }
        const long id = m.captured(1).toLong();
        const QString text = m.captured(2);
        if (file.Texts.contains(id))
            file.Problems << where + QStringLiteral(": ID %1 again").arg(id);
        if (text.isEmpty()) file.Problems << where + QStringLiteral(": ID %1 has no text").arg(id);
        // The Save button's hint (111) runs on into the scheme's name: it ends with the blank
        // between them, in every language. Any other blank at an end is a slip.
        const bool runsOn = id == 111;
        if (runsOn ? (!text.endsWith(u' ') || text.startsWith(u' ') ||
                      text.chopped(1) != text.chopped(1).trimmed())
                   : text != text.trimmed())
            file.Problems << where + (runsOn
                                          ? QStringLiteral(": ID %1 must end with one blank")
                                          : QStringLiteral(": ID %1 begins or ends with a blank"))
                                         .arg(id);
        file.Texts.insert(id, text);
    }
    return file;
}

// The printf conversions of a text in order ("%%" included, so a lone percent sign counts).
QStringList Placeholders(const QString& text) {
    static const QRegularExpression conversion(QStringLiteral(
        "%(?:%|[-+ "
        "#0]*(?:\\*|[0-9]+)?(?:\\.(?:\\*|[0-9]+))?(?:hh|h|ll|l|L|q|j|z|t)?[diouxXeEfFgGaAcspn])"));
    QStringList found;
    for (auto it = conversion.globalMatch(text); it.hasNext();)
        found << it.next().captured(0);
    return found;
}

// The text numbers named by one source file, each with the places that name it.
QMap<long, QStringList> ScanTextIds(const QString& source, const QString& fileName) {
    static const QRegularExpression call(
        QStringLiteral("\\b(?:GetText|LoadText)\\s*\\(\\s*([0-9]+)\\s*[,)]"));
    static const QRegularExpression marker(QStringLiteral("//.*\\btext ids:(.*)$"));
    static const QRegularExpression number(QStringLiteral("([0-9]+)(?:\\s*-\\s*([0-9]+))?"));
    QMap<long, QStringList> ids;
    const QStringList lines = source.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString where = fileName + ":" + QString::number(i + 1);
        for (auto it = call.globalMatch(lines[i]); it.hasNext();)
            ids[it.next().captured(1).toLong()] << where;
        const QRegularExpressionMatch m = marker.match(lines[i]);
        if (!m.hasMatch()) continue;
        for (auto it = number.globalMatch(m.captured(1)); it.hasNext();) {
            const QRegularExpressionMatch n = it.next();
            const long first = n.captured(1).toLong();
            const long last = n.captured(2).isEmpty() ? first : n.captured(2).toLong();
            for (long id = first; id <= last; ++id)
                ids[id] << where;
        }
    }
    return ids;
}

// Every *.cpp and *.h under `root`, scanned.
QMap<long, QStringList> ScanTree(const QString& root, int* filesScanned) {
    QMap<long, QStringList> ids;
    *filesScanned = 0;
    QDirIterator it(root, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) continue;
        ++*filesScanned;
        const QString relative = path.mid(root.size() + 1);
        const auto found = ScanTextIds(QString::fromUtf8(f.readAll()), relative);
        for (auto i = found.cbegin(); i != found.cend(); ++i)
            ids[i.key()] << i.value();
    }
    return ids;
}

// The wanted IDs that GetText does not find after loading the language file `path`, each
// described with the places that use it. A file that cannot be loaded misses everything.
QStringList MissingTexts(const QMap<long, QStringList>& wanted, const QString& path) {
    QStringList missing;
    const bool loaded = LoadLanguageFile(path);
    for (auto i = wanted.cbegin(); i != wanted.cend(); ++i) {
        if (!loaded || GetText(i.key()) == FallbackText(i.key()))
            missing << QStringLiteral("%1 (used at %2)").arg(i.key()).arg(i.value().join(", "));
    }
    UnloadLanguage();
    return missing;
}

} // namespace

class TestLanguageFiles : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { UnloadLanguage(); }

    // --- (a) the files themselves ---------------------------------------------------------

    void fileIsWellFormed_data() {
        QTest::addColumn<QString>("language");
        for (const QString& language : LanguageNames)
            QTest::newRow(qPrintable(language)) << language;
    }
    void fileIsWellFormed() {
        QFETCH(QString, language);
        const TRawFile file = ReadRawFile(LanguagePath(language));
        QVERIFY2(file.Readable, qPrintable(LanguagePath(language)));
        QVERIFY2(file.ValidUtf8, "the file is not valid UTF-8");
        QVERIFY2(file.Problems.isEmpty(), qPrintable(file.Problems.join('\n')));
        QVERIFY2(!file.Texts.isEmpty(), "the file holds no texts");
    }

    // The program's own loader finds every text the file holds, and finds it unescaped.
    void loaderFindsEveryText_data() { fileIsWellFormed_data(); }
    void loaderFindsEveryText() {
        QFETCH(QString, language);
        const TRawFile file = ReadRawFile(LanguagePath(language));
        QVERIFY(!file.Texts.isEmpty());
        QVERIFY(LoadLanguageFile(LanguagePath(language)));
        QStringList wrong;
        for (auto i = file.Texts.cbegin(); i != file.Texts.cend(); ++i) {
            const QString text = GetText(i.key());
            if (text == FallbackText(i.key()) || text.isEmpty())
                wrong << QString::number(i.key());
            else if (!i.value().contains(u'\\') && text != i.value())
                wrong << QString::number(i.key()) + " reads back as \"" + text + "\"";
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(", ")));
    }

    void everyLanguageHasTheSameIds() {
        QMap<QString, QSet<long>> ids;
        QSet<long> all;
        for (const QString& language : LanguageNames) {
            const auto texts = ReadRawFile(LanguagePath(language)).Texts;
            ids[language] = QSet<long>(texts.keyBegin(), texts.keyEnd());
            all |= ids[language];
        }
        QVERIFY(!all.isEmpty());
        QStringList problems;
        for (const QString& language : LanguageNames) {
            QList<long> missing = (all - ids[language]).values();
            std::sort(missing.begin(), missing.end());
            if (missing.isEmpty()) continue;
            QStringList numbers;
            for (long id : missing)
                numbers << QString::number(id);
            problems << language + " lacks " + numbers.join(", ");
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));
    }

    // What the code fills into a text or splits it at must be there in every language.
    void textsAgreeAcrossLanguages() {
        QMap<QString, QMap<long, QString>> texts;
        for (const QString& language : LanguageNames)
            texts[language] = ReadRawFile(LanguagePath(language)).Texts;
        const QMap<long, QString>& russian = texts["Russian"];
        QVERIFY(!russian.isEmpty());
        QStringList problems;
        for (auto i = russian.cbegin(); i != russian.cend(); ++i) {
            for (const QString& language : LanguageNames) {
                if (language == "Russian" || !texts[language].contains(i.key())) continue;
                const QString& other = texts[language][i.key()];
                if (Placeholders(other) != Placeholders(i.value()))
                    problems << QStringLiteral("%1: placeholders %2 in Russian, %3 in %4")
                                    .arg(i.key())
                                    .arg(Placeholders(i.value()).join(' '),
                                         Placeholders(other).join(' '), language);
                if (other.count(u'|') != i.value().count(u'|'))
                    problems << QStringLiteral("%1: %2 '|' in Russian, %3 in %4")
                                    .arg(i.key())
                                    .arg(i.value().count(u'|'))
                                    .arg(other.count(u'|'))
                                    .arg(language);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }

    void translationsHoldNoCyrillic_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "English";
        QTest::newRow("Estonian") << "Estonian";
    }
    void translationsHoldNoCyrillic() {
        QFETCH(QString, language);
        const auto texts = ReadRawFile(LanguagePath(language)).Texts;
        QVERIFY(!texts.isEmpty());
        QStringList russianLeft;
        for (auto i = texts.cbegin(); i != texts.cend(); ++i) {
            if (std::any_of(i.value().cbegin(), i.value().cend(),
                            [](QChar c) { return c.script() == QChar::Script_Cyrillic; }))
                russianLeft << QString::number(i.key()) + " \"" + i.value() + "\"";
        }
        QVERIFY2(russianLeft.isEmpty(), qPrintable(russianLeft.join('\n')));
    }

    void placeholdersAreFoundInOrder_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << "Выбор языка" << QStringList{};
        QTest::newRow("several") << "%s: %i of %li, %d at %g and %.3f"
                                 << QStringList{"%s", "%i", "%li", "%d", "%g", "%.3f"};
        QTest::newRow("width and flags")
            << "%-8s%7.3f%+.6Gi" << QStringList{"%-8s", "%7.3f", "%+.6G"};
        QTest::newRow("escaped percent") << "100%% of %s" << QStringList{"%%", "%s"};
    }
    void placeholdersAreFoundInOrder() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(Placeholders(text), expected);
    }

    // --- (b) the numbers the code uses ----------------------------------------------------

    void scannerFindsTextIds_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QList<long>>("expected");
        QTest::newRow("GetText") << "ShowMessage(GetText(602), GetText(601));"
                                 << QList<long>{601, 602};
        QTest::newRow("blanks") << "x = GetText ( 605 ) ;" << QList<long>{605};
        QTest::newRow("LoadText") << "LoadText(731, 64); LoadText( 701 ,n);"
                                  << QList<long>{701, 731};
        QTest::newRow("variable") << "GetText(id); GetText(band.PrefixId);" << QList<long>{};
        QTest::newRow("expression") << "GetText(600 + n);" << QList<long>{};
        QTest::newRow("other function") << "MyGetText(5); GetTextWidth(6);" << QList<long>{};
        QTest::newRow("marker") << "{1E9, 176}, // text ids: 170 171, 172"
                                << QList<long>{170, 171, 172};
        QTest::newRow("marker range")
            << "  // text ids: 231-233, 500" << QList<long>{231, 232, 233, 500};
        QTest::newRow("marker needs a comment") << "text ids: 1 2" << QList<long>{};
        QTest::newRow("several lines")
            << "GetText(100)\n// text ids: 101\nGetText(100)" << QList<long>{100, 101};
    }
    void scannerFindsTextIds() {
        QFETCH(QString, source);
        QFETCH(QList<long>, expected);
        QCOMPARE(ScanTextIds(source, "x.cpp").keys(), expected);
    }

    void scannerTellsWhere() {
        const auto ids = ScanTextIds("a\nGetText(150);\n// text ids: 150", "shell/W.cpp");
        QCOMPARE(ids.value(150), (QStringList{"shell/W.cpp:2", "shell/W.cpp:3"}));
    }

    // The check below reports an ID that a language file lacks.
    void missingTextIsReported() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile f(dir.filePath("Test.lng"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("# a comment\n170\tp\n172\t\xC2\xB5\n");
        f.close();
        const QMap<long, QStringList> wanted{
            {170, {"a.cpp:1"}}, {171, {"b.cpp:7"}}, {172, {"a.cpp:2"}}};
        QCOMPARE(MissingTexts(wanted, f.fileName()), QStringList{"171 (used at b.cpp:7)"});
        QCOMPARE(MissingTexts(wanted, dir.filePath("Absent.lng")).size(), 3);
    }

    void everyTextTheCodeUsesExists_data() { fileIsWellFormed_data(); }
    void everyTextTheCodeUsesExists() {
        QFETCH(QString, language);
        int files = 0;
        const auto wanted = ScanTree(QStringLiteral(VEXILO_SOURCE_DIR "/workbench"), &files);
        QVERIFY2(files > 0, "no source files found under workbench/");
        const QStringList missing = MissingTexts(wanted, LanguagePath(language));
        QVERIFY2(missing.isEmpty(), qPrintable(language + " lacks: " + missing.join("; ")));
    }
};

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"
