// Feeds arbitrary bytes to the scheme-file loader, then solves, saves and reloads what was
// loaded. Any crash, sanitizer report or broken invariant ends the run with the input saved.

#include "board/Frmwork.h"
#include "board/Host.h"
#include "board/Node.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "document/Join.h"
#include "document/Scheme.h"
#include "shell/Global.h"
#include "solver/Calculate.h"

#include <QApplication>
#include <QBuffer>
#include <cstdio>
#include <cstdlib>

namespace {
void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
}

QByteArray SaveBoard() {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    Require(SaveSchemeTo(out), "a loaded board saves");
    return out.data();
}

void LoadBytes(const QByteArray& bytes) {
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    LoadSchemeFrom(in);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    SetMessageHandler([](const TMessageRequest&) { return int(IdOk); });
    SetSoundSink([](const TSoundRequest&) {});
    SetWaitHandler([](int) {});
    Solver::LogPath.clear();
    static QWidget window;
    JoinCircuit();
    new TFramework(&window);
    RegisterPartKinds();
    TIron::ExecuteStartups();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (TIron* part : Parts) {
        Require(Nodes.contains(part->FirstNode) && Nodes.contains(part->SecondNode),
                "loaded parts lie on the board");
        Require(part->FirstNode->Elements.contains(part) &&
                    part->SecondNode->Elements.contains(part),
                "loaded parts are in their nodes' lists");
    }
    NotifyCircuitChanged();
    Framework->SolveWhileChanged();

    // Whatever loaded saves, and loads back to the same file.
    const QByteArray saved = SaveBoard();
    LoadBytes(saved);
    Require(SaveBoard() == saved, "a saved board loads back the same");
    ClearBoard();
    return 0;
}
