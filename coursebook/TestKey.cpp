#include "TestKey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QStringDecoder>

#include <algorithm>
#include <numeric>

int AnswerCode(QStringView line) {
    int code = 0;
    for (const QChar c : line) {
        int letter = 0;
        switch (c.unicode()) {
        case u'A':
        case u'\u0410':
            letter = 1;
            break; // А
        case u'B':
        case u'\u0412':
            letter = 2;
            break; // В
        case u'C':
        case u'\u0421':
            letter = 3;
            break; // С
        case u'D':
            letter = 4;
            break;
        case u'E':
        case u'\u0415':
            letter = 5;
            break; // Е
        default:
            break;
        }
        code = std::max(code, letter);
    }
    return code;
}

QList<int> ParseAnswerKey(const QByteArray& bytes, const QString& fileName) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        // Not UTF-8: a key written with the Windows Cyrillic code page.
        QStringDecoder cp1251("windows-1251");
        text = cp1251.isValid() ? cp1251.decode(bytes) : QString::fromLatin1(bytes);
    }
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r')) line.chop(1);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        throw ETestError(
            QStringLiteral("Файл ответов \"%1\" пуст: тест не может начаться").arg(fileName));

    QList<int> codes;
    codes.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const int code = AnswerCode(lines[i]);
        if (code == 0) {
            throw ETestError(QStringLiteral("В файле ответов \"%1\" в строке %2 нет ответа (буквы "
                                            "A, B, C, D или E): \"%3\"")
                                 .arg(fileName)
                                 .arg(i + 1)
                                 .arg(lines[i].left(60)));
        }
        codes.append(code);
    }
    return codes;
}

TTestKey ReadTestKey(const QString& folder) {
    const QString keyName = QDir(folder).filePath(QStringLiteral("otwet.txt"));
    QFile file(keyName);
    if (!file.exists())
        throw ETestError(
            QStringLiteral("Файл ответов \"%1\" не найден: тест не может начаться").arg(keyName));
    if (!file.open(QIODevice::ReadOnly))
        throw ETestError(
            QStringLiteral("Файл ответов \"%1\" не удаётся прочитать: тест не может начаться")
                .arg(keyName));
    TTestKey key;
    key.Codes = ParseAnswerKey(file.readAll(), keyName);

    const QString options = QDir(folder).filePath(QStringLiteral("test.ini"));
    if (QFileInfo(options).isFile()) {
        QSettings ini(options, QSettings::IniFormat);
        key.WithoutRepeats =
            ini.value(QStringLiteral("Test/Draw"))
                .toString()
                .compare(QLatin1String("WithoutRepeats"), Qt::CaseInsensitive) == 0;
    }
    return key;
}

QList<int> DrawQuestions(int questions, int slotCount, bool withoutRepeats,
                         QRandomGenerator& random) {
    QList<int> drawn;
    if (questions <= 0 || slotCount <= 0) return drawn;
    if (withoutRepeats && questions >= slotCount) {
        // The first `slotCount` places of a uniformly shuffled deck.
        QList<int> deck(questions);
        std::iota(deck.begin(), deck.end(), 1);
        for (int i = 0; i < slotCount; ++i)
            std::swap(deck[i], deck[i + int(random.bounded(quint32(questions - i)))]);
        return deck.mid(0, slotCount);
    }
    drawn.reserve(slotCount);
    for (int i = 0; i < slotCount; ++i)
        drawn.append(1 + int(random.bounded(quint32(questions))));
    return drawn;
}

int RoundHalfEven(qint64 num, qint64 den) {
    qint64 q = num / den;
    const qint64 twice = 2 * (num % den);
    if (twice > den || (twice == den && q % 2 != 0)) ++q;
    return int(q);
}

int TestPercentage(int right, int total) {
    return total > 0 ? RoundHalfEven(100LL * right, total) : 0;
}

int TestGrade(int right, int total) {
    return total > 0 ? RoundHalfEven(5LL * right, total) : 0;
}
