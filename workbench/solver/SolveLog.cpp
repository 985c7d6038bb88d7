// LOG.LOG: after every successful solve, the values on every element. The file is written in
// the single-byte Cyrillic code page (Windows-1251) and kept bounded: past its limit it is
// moved to LOG.LOG.1 and begun anew, so a board that solves eight times a second for hours
// cannot fill the disk. When it cannot be moved, logging stops for the run.

#include "solver/Topology.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

namespace {
// The blank flag beside the plus sign is part of the record's established layout, though
// printf ignores it; the compiler's warning about it is silenced here only.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
const char* const RecordFormat = "\n%s: z=%9.6G% +.6Gi I=%9.6G% +.6Gi V=%9.6G% +.6Gi";

// Adding 0.0 turns a negative zero into a positive one: the log shows "+0", never "-0".
TComplex Unsigned0(TComplex c) {
    return {c.real() + 0.0, c.imag() + 0.0};
}

QString Record(const TCircuitElement& e) {
    const TComplex z = Unsigned0(e.Z());
    const TComplex i = Unsigned0(e.Current);
    const TComplex v = Unsigned0(e.Voltage);
    return QString::asprintf(RecordFormat, e.Kind, z.real(), z.imag(), i.real(), i.imag(), v.real(),
                             v.imag());
}
#pragma GCC diagnostic pop
} // namespace

void AppendSolveLog(const TCircuitGraph& g, TCircuitSink& sink) {
    const QString path = Solver::LogPath;
    if (path.isEmpty()) return;
    QFile file(path);
    // Opened first: opened to append, the file stands at its end, so its position is its size
    // without another look at the disk.
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Append);
    if (!opened || file.pos() > Solver::LogLimit) {
        file.close();
        const QString old = path + ".1";
        if (opened &&
            ((QFileInfo::exists(old) && !QFile::remove(old)) || !QFile::rename(path, old))) {
            // Something in the way (a folder of that name, a file that may not be removed):
            // writing on would let the log grow without bound, so it ends for this run, and
            // the student is told once.
            Solver::LogPath.clear();
            sink.Report(TSolveProblem::LogStopped, path);
            return;
        }
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    }
    QString text = QStringLiteral("\nЗначения на деталях:");
    for (const TCircuitElement& e : g.View->Elements)
        text += Record(e);
    // One encoder for every solve: making it looks up the code page anew.
    static QStringEncoder toCp1251("windows-1251", QStringConverter::Flag::Stateless);
    file.write(toCp1251.encode(text));
}
