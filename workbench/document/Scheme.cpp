#include "document/Scheme.h"

#include "board/Frmwork.h"
#include "board/Host.h"
#include "board/Node.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "shell/Global.h"

#include <QApplication>
#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <cmath>

QString FileName;
bool SchemeSaved = true;
bool SaveAsRequested = false;

namespace {
class TWaitCursor {
public:
    TWaitCursor() {
        if (qobject_cast<QApplication*>(qApp)) QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TWaitCursor() {
        if (qobject_cast<QApplication*>(qApp)) QApplication::restoreOverrideCursor();
    }
};

void ShowLoadFailure(const QString& path, const QString& why) {
    ShowMessage(GetText(608) + path + (why.isEmpty() ? QString() : "\n" + why), GetText(607),
                TMsgButtons::AbortRetryIgnore);
}

QString FaultText(TSchemeFault fault) {
    return GetText(long(fault));
}
} // namespace

void ClearBoard() {
    DestroyAllParts();
    NotifyCircuitChanged();
}

TLoadResult LoadSchemeFrom(QIODevice& file, QString* why) {
    ClearBoard();
    try {
        FormatVersion = ReadSchemeVersion(file);
        if (!FormatVersion) throw ESchemeIO("not a scheme file", TSchemeFault::NotAScheme);
        // A file that ends inside the frequency has none: a direct-current circuit. One whose
        // frequency is no number leaves none either.
        CircuitOmega = 0;
        CircuitOmega = ReadSchemeOmega(file);
        const double fileOmega = CircuitOmega;

        if (file.size() > HeaderSize && file.seek(HeaderSize)) {
            // The board takes one part on each of its edges: a file with more parts, or with
            // two on one edge, was not written by it, and a few thousand parts would keep every
            // solve busy for seconds.
            QSet<int> edges;
            quint8 kind;
            while (!file.atEnd() && file.read(reinterpret_cast<char*>(&kind), 1) == 1) {
                if (Parts.size() >= BoardEdges)
                    throw ESchemeIO("more parts than the board has edges",
                                    TSchemeFault::TooManyParts);
                // A kind this program does not know: its record's length is unknown too, so
                // nothing after it can be read. Loading part of a file would let a later Save
                // write the shortened circuit over the whole one.
                TIron* part = CreatePart(kind, TPartOrigin::SchemeFile);
                if (!part)
                    throw ESchemeIO("a part of a kind this program does not know",
                                    TSchemeFault::UnknownKind);
                // A new generator sets the default frequency; the file's frequency holds.
                if (kind == KindGenerator) CircuitOmega = fileOmega;
                part->LoadFromFile(file);
                if (part->EndsReversed()) part->TurnEndForEnd();
                const int edge = IndexOfNode(part->FirstNode) * 64 + IndexOfNode(part->SecondNode);
                if (edges.contains(edge))
                    throw ESchemeIO("two parts on one edge", TSchemeFault::EdgeTaken);
                edges.insert(edge);
                part->show();
            }
        }
    } catch (const ESchemeIO& fault) {
        ClearBoard();
        if (why) *why = FaultText(fault.Fault);
        return TLoadResult::Failed;
    } catch (const std::exception& error) {
        // A part that cannot be made.
        ClearBoard();
        if (why) *why = QString::fromLocal8Bit(error.what());
        return TLoadResult::Failed;
    }
    NotifyCircuitChanged();
    if (Framework) Framework->BringLeadsToFront(); // the meters' leads lie above the loaded parts
    return TLoadResult::Loaded;
}

TLoadResult LoadScheme(const QString& path) {
    TLoadResult result = TLoadResult::Failed;
    QString why;
    {
        TWaitCursor hourglass; // gone before any message
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            result = LoadSchemeFrom(file, &why);
        } else {
            ClearBoard();
            why = file.errorString();
        }
    }
    if (result == TLoadResult::Failed) ShowLoadFailure(path, why);
    return result;
}

bool SaveSchemeTo(QIODevice& file, QString* error) {
    try {
        FormatVersion = Version12;
        SchemeIO::WriteExact(file, Signature12, 19);
        SchemeIO::WriteDouble(file, CircuitOmega);
        if (!Parts.isEmpty()) {
            // The records begin at 1024; the header area between is zeros.
            const QByteArray zeros(int(HeaderSize - file.pos()), '\0');
            SchemeIO::WriteExact(file, zeros.constData(), zeros.size());
        }
        for (TIron* part : Parts)
            part->SaveToFile(file);
        return true;
    } catch (const ESchemeIO& e) {
        if (error) *error = QString::fromUtf8(e.what());
    } catch (const EThrownText& e) {
        if (error) *error = e.Text();
    }
    return false;
}

bool SaveScheme(const QString& path, QString* error) {
    // The old file stays until the new one is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    if (!SaveSchemeTo(file, error)) {
        file.cancelWriting();
        return false;
    }
    // The records may still sit in the file's buffer; a full disk shows only when they go out.
    // commit() would put the cut file in the old one's place all the same.
    if (!file.flush()) {
        if (error) *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}
