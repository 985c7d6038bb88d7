#include "ArtWriter.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdio>

ArtWriter::ArtWriter(const QString& outDir) : OutDir(outDir) {
    QDir().mkpath(outDir);
}

void ArtWriter::Fail(const QString& what) {
    std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(what));
    Ok = false;
}

void ArtWriter::Bitmap(const QString& name, const QImage& image) {
    const QString file = name + ".png";
    if (!image.save(OutDir + "/" + file, "PNG")) return Fail(file);
    Files << file;
    Written.append({name, image});
}

void ArtWriter::Jpeg(const QString& name, const QImage& image, int quality) {
    const QString file = name + ".jpg";
    if (!image.convertToFormat(QImage::Format_RGB32).save(OutDir + "/" + file, "JPG", quality))
        return Fail(file);
    Files << file;
    Written.append({name, image});
}

namespace {
void PutLe32(QByteArray& b, quint32 v) {
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
void PutLe16(QByteArray& b, quint16 v) {
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
} // namespace

void ArtWriter::Wave(const QString& name, const QVector<float>& samples) {
    const QString file = name + ".wav";
    const quint32 dataBytes = quint32(samples.size()) * 2;
    QByteArray b;
    b.append("RIFF");
    PutLe32(b, 36 + dataBytes);
    b.append("WAVEfmt ");
    PutLe32(b, 16);
    PutLe16(b, 1); // PCM
    PutLe16(b, 1); // mono
    PutLe32(b, SampleRate);
    PutLe32(b, SampleRate * 2);
    PutLe16(b, 2);
    PutLe16(b, 16);
    b.append("data");
    PutLe32(b, dataBytes);
    for (float s : samples) {
        const float c = std::clamp(s, -1.0f, 1.0f);
        PutLe16(b, quint16(qint16(std::lround(c * 32767.0f))));
    }
    QSaveFile f(OutDir + "/" + file);
    if (!f.open(QIODevice::WriteOnly) || f.write(b) != b.size() || !f.commit()) return Fail(file);
    Files << file;
}

bool ArtWriter::Finish() {
    QSaveFile f(OutDir + "/art.qrc");
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
        Fail("art.qrc");
        return false;
    }
    QTextStream s(&f);
    s << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/art\">\n";
    for (const QString& file : Files)
        s << "  <file>" << file << "</file>\n";
    s << "</qresource>\n</RCC>\n";
    s.flush();
    if (!f.commit()) {
        Fail("art.qrc");
        return false;
    }
    return Ok;
}
