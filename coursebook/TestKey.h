#pragma once
#include <QList>
#include <QString>
#include <QStringView>
#include <stdexcept>

class QRandomGenerator;

// A lesson's test lives in a folder of its own: one page per question (7.htm for question 7),
// the answer key "otwet.txt" with one line per question page, and optionally "test.ini":
//
//   [Test]
//   Draw=WithoutRepeats   ; every slot gets a different page (needs as many pages as slots)
//   Draw=Independent      ; the default: every slot draws any page, so repeats can happen
//
// A test has as many slots as its key has lines, at most 40.

// A course folder whose test cannot be run; the text says why and names the file and line.
class ETestError : public std::runtime_error {
public:
    explicit ETestError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromUtf8(what()); }
};

constexpr int MaxTestSlots = 40;

struct TTestKey {
    QList<int> Codes;            // answer code 1..5 (A..E) of question page i + 1
    bool WithoutRepeats = false; // how the slots draw their pages
};

// The answer on one line of a key: the highest of the capital letters A to E found anywhere on
// it (A = 1 … E = 5). The Cyrillic capitals А, В, С and Е count as the Latin ones they look
// like, so a key typed on a Russian keyboard layout reads the same. 0 when there is none.
int AnswerCode(QStringView line);

// Reads a key file's bytes (UTF-8, or the single-byte Cyrillic code page of older keys).
// Blank lines at the end are not questions; any other line without an answer letter, and a key
// without lines, are refused with ETestError naming the file and the line.
QList<int> ParseAnswerKey(const QByteArray& bytes, const QString& fileName);

// The key and draw option of the test in `folder`; ETestError when the key cannot be read.
TTestKey ReadTestKey(const QString& folder);

// The page numbers (1..questions) of `slotCount` slots: drawn independently, or all different when
// asked and there are enough pages.
QList<int> DrawQuestions(int questions, int slotCount, bool withoutRepeats,
                         QRandomGenerator& random);

// num / den taken to the nearest integer, a value exactly halfway going to the even one.
int RoundHalfEven(qint64 num, qint64 den);
// The result of `right` right answers out of `total` slots: percent and grade on the five-point
// scale, both rounded half to even (36 of 40: 90 % and grade 4).
int TestPercentage(int right, int total);
int TestGrade(int right, int total);
