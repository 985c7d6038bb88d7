#pragma once
// Collects the generated resources and writes them with the art.qrc that lists them.

#include <QImage>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class ArtWriter {
public:
    explicit ArtWriter(const QString& outDir);

    // A picture with an alpha channel, saved as <name>.png (bitmaps and cursors).
    void Bitmap(const QString& name, const QImage& image);
    // An opaque picture, saved as <name>.jpg (the JPEG resources).
    void Jpeg(const QString& name, const QImage& image, int quality = 92);
    // A mono 16-bit PCM sound at SampleRate, samples in -1..1, saved as <name>.wav.
    void Wave(const QString& name, const QVector<float>& samples);

    // Writes art.qrc; returns false when something could not be written.
    bool Finish();

    // Every picture written so far, by name, in the order written (for the contact sheet).
    const QVector<QPair<QString, QImage>>& Pictures() const { return Written; }

    static constexpr int SampleRate = 22050;

private:
    void Fail(const QString& what);
    QString OutDir;
    QStringList Files;
    QVector<QPair<QString, QImage>> Written;
    bool Ok = true;
};
