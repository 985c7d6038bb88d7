#pragma once
// Scheme files: the header, and the helpers every record is read and written with. Every part
// writes and reads its own record, the scheme document strings them together; a tool without
// windows reads the records straight into a circuit view (SchemeParts.h). Little-endian fields. A
// read that runs past the end of the file or a write that fails throws ESchemeIO, so a cut record
// can never be half taken for a whole one.

#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <stdexcept>

// Kind codes, in memory and in scheme files (23 is not used).
enum TKind : quint8 {
    KindWire = 10,
    KindResistor = 11,
    KindCondensator = 12,
    KindInductance = 13,
    KindBattery = 14,
    KindGenerator = 15,
    KindSwitch = 16,
    KindProtector = 17,
    KindLamp = 18,
    KindConductor = 19,
    KindHeater = 20,
    KindVResistor = 21,
    KindVCondensator = 22,
    KindBlackBug = 24,
};

// The version of the scheme file being read or written: 0x100, 0x101 or 0x102 (1.0 .. 1.2).
// The parts' records differ by version (the padding of 1.1, the battery's tail of 1.2).
extern int FormatVersion;
constexpr int Version10 = 0x100;
constexpr int Version11 = 0x101;
constexpr int Version12 = 0x102;

// What is wrong with a scheme file that cannot be loaded. The numbers are the language file's
// texts that say so to the student.
// text ids: 611-616, 621, 622
enum class TSchemeFault {
    NotAScheme = 611,        // no signature of a known version
    EndsInsideARecord = 612, // cut short inside a part's record
    OffTheBoard = 613,       // a node number outside the board
    NotNeighbours = 614,     // a part's two nodes are not the ends of one edge
    UnknownKind = 615,       // a record of a kind this program does not know
    NotANumber = 616,        // a value that is NaN or infinite
    EdgeTaken = 621,         // a second part on an edge that holds one
    TooManyParts = 622,      // more parts than the board has edges
};

class ESchemeIO : public std::runtime_error {
public:
    explicit ESchemeIO(const char* what, TSchemeFault fault = TSchemeFault::EndsInsideARecord)
        : std::runtime_error(what), Fault(fault) {}
    TSchemeFault Fault;
};

// The header area: a 19-byte signature naming the version, the circuit's angular frequency as
// a double, zeros up to the first record at 1024.
constexpr qint64 HeaderSize = 1024;
constexpr char Signature12[] = "Yarv's scheme 1.2\r\n";
// The board takes one part on each edge of its 7 x 7 nodes.
constexpr int BoardEdges = 2 * 7 * 6;
constexpr int BoardNodes = 7 * 7;

// The version the file's signature names (Version10 .. Version12), 0 for none.
int ReadSchemeVersion(QIODevice& file);
// The frequency after the signature: 0 when the file ends inside it; throws ESchemeIO when it is
// not a finite number.
double ReadSchemeOmega(QIODevice& file);

// The handle of a variable part: step 1 is a twentieth of the full scale, step 20 the whole.
constexpr int LeastStep = 1;
constexpr int MostStep = 20;
// A record holds a variable part's value and full scale but no step: the part takes the step
// nearest its value, or keeps `otherwise` where the share is not a number.
inline int StepOfValue(double value, double fullScale, int otherwise) {
    const double share = value / fullScale * 20;
    // Clamped before it is rounded: a share far above the scale would not fit an int.
    return std::isfinite(share) ? int(std::lround(std::clamp(share, 1.0, 20.0))) : otherwise;
}

namespace SchemeIO {

inline void ReadExact(QIODevice& file, void* data, qint64 size) {
    if (file.read(static_cast<char*>(data), size) != size)
        throw ESchemeIO("the scheme file ends inside a record");
}

inline void WriteExact(QIODevice& file, const void* data, qint64 size) {
    if (file.write(static_cast<const char*>(data), size) != size)
        throw ESchemeIO("the scheme file cannot be written");
}

inline quint8 ReadByte(QIODevice& file) {
    quint8 b;
    ReadExact(file, &b, 1);
    return b;
}

inline qint32 ReadInt32(QIODevice& file) {
    char b[4];
    ReadExact(file, b, 4);
    return qFromLittleEndian<qint32>(b);
}

// Every value of a scheme file is a finite number: no part can take NaN or infinity.
inline double ReadDouble(QIODevice& file) {
    char b[8];
    ReadExact(file, b, 8);
    const double v = qFromLittleEndian<double>(b);
    if (!std::isfinite(v))
        throw ESchemeIO("the scheme file holds a value that is not a finite number",
                        TSchemeFault::NotANumber);
    return v;
}

inline void Skip(QIODevice& file, qint64 size) {
    char b[256];
    while (size > 0) {
        const qint64 n = std::min<qint64>(size, sizeof b);
        ReadExact(file, b, n);
        size -= n;
    }
}

inline void WriteByte(QIODevice& file, quint8 v) {
    WriteExact(file, &v, 1);
}

inline void WriteInt32(QIODevice& file, qint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    WriteExact(file, b, 4);
}

inline void WriteDouble(QIODevice& file, double v) {
    char b[8];
    qToLittleEndian(v, b);
    WriteExact(file, b, 8);
}

} // namespace SchemeIO
