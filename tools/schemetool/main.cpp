// schemetool: scheme files on the command line, on the workbench's own code.
//
//   schemetool [--log FILE] solve FILE     the settled circuit, one JSON object per element
//   schemetool [--log FILE] netlist FILE   the settled circuit as a SPICE netlist
//   schemetool convert IN OUT              any version in, version 1.2 out
//
// It needs no display and no runtime folder. Exit codes: 0 done; 1 a file that cannot be
// loaded (the reason on standard error) or written; 2 a wrong command line; 3 a circuit the
// solver failed on or that did not settle (the solver's message on standard error), with
// nothing on standard output.

#include "board/Frmwork.h"
#include "board/Node.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "document/Join.h"
#include "document/Scheme.h"
#include "shell/Global.h"
#include "document/Circuit.h"
#include "solver/Calculate.h"
#include "solver/Netlist.h"
#include "platform/Folders.h"
#include "platform/ProgramInfo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {
constexpr char UsageText[] =
    "schemetool [--log FILE] solve FILE\n"
    "       schemetool [--log FILE] netlist FILE\n"
    "       schemetool convert IN OUT\n";

constexpr char HelpText[] =
    "schemetool [--log FILE] solve FILE\n"
    "       schemetool [--log FILE] netlist FILE\n"
    "       schemetool convert IN OUT\n"
    "\n"
    "Scheme files of the workbench on the command line, on the workbench's own code.\n"
    "\n"
    "  solve FILE     settle the circuit and print one JSON object per element\n"
    "  netlist FILE   settle the circuit and print it as a SPICE netlist\n"
    "  convert IN OUT read any version of a scheme file and write version 1.2\n"
    "  --log FILE     write the solver's log (LOG.LOG) to FILE\n"
    "  --help         print this text and exit\n"
    "  --version      print the version and exit\n";

int Usage() {
    std::fprintf(stderr, "usage: %s", UsageText);
    return 2;
}

QString Pair(TComplex c) { return "[" + ExactNumber(c.real()) + "," + ExactNumber(c.imag()) + "]"; }

int NodeNumber(const TNode* node) { return node ? int(Nodes.indexOf(node)) : -1; }

QString ElementJson(int k, TIron0* e) {
    auto* part = qobject_cast<TIron*>(e);
    return QString("{\"index\":%1,\"class\":\"%2\",\"kind\":%3,\"first\":%4,\"second\":%5,"
                   "\"z\":%6,\"i\":%7,\"v\":%8,\"burnt\":%9}")
        .arg(k)
        .arg(QString::fromLatin1(e->metaObject()->className()))
        .arg(part ? part->Kind : 0)
        .arg(NodeNumber(e->FirstNode))
        .arg(NodeNumber(e->SecondNode))
        .arg(Pair(e->GetImpedance()), Pair(e->Current), Pair(e->Voltage))
        .arg(e->Burnt ? "true" : "false");
}

bool Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "schemetool: cannot open %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    QString why;
    if (LoadSchemeFrom(file, &why) == TLoadResult::Failed) {
        std::fprintf(stderr, "schemetool: cannot load %s: %s\n", qPrintable(path), qPrintable(why));
        return false;
    }
    return true;
}

// Solves until the circuit settles, as the board's tick does. False when a solve failed (the
// solver has said why through the message seam) or the burn-outs did not settle.
bool Settle() {
    if (!Framework->SolveWhileChanged()) {
        std::fprintf(stderr, "schemetool: the circuit did not settle within 22 solves\n");
        return false;
    }
    return !Solver::LastSolve.Failed;
}

// Qt's start-up looks for a file in the runtime folder and warns when the session has none;
// this tool keeps nothing there, and its standard error is for real messages only.
QtMessageHandler QtDefaultHandler = nullptr;
void QuietAboutRuntimeFolder(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set")) return;
    QtDefaultHandler(type, context, text);
}
} // namespace

int main(int argc, char** argv) {
    const int answered = AnswerInfoOptions(argc, argv, "schemetool", HelpText);
    if (answered >= 0) return answered;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QtDefaultHandler = qInstallMessageHandler(QuietAboutRuntimeFolder);
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    Solver::LogPath.clear(); // no LOG.LOG unless asked for
    if (args.size() >= 2 && args[0] == "--log") {
        Solver::LogPath = args[1];
        args = args.mid(2);
    }
    if (args.size() < 2) return Usage();

    // Failures the workbench would show in a message box go to standard error here.
    SetMessageHandler([](const TMessageRequest& r) {
        std::fprintf(stderr, "schemetool: %s\n", qPrintable(r.Text));
        return int(IdOk);
    });
    SetSoundSink([](const TSoundRequest&) {});
    SetWaitHandler([](int) {});
    const TInstallation installation = LocateInstallation("English.lng");
    LoadLanguageFile(QDir(installation.Found() ? installation.DataFolder : installation.ProgramFolder)
                         .filePath("English.lng"));

    SetPicturesWanted(false); // nothing is shown: the parts' pictures are never decoded
    QWidget window;
    JoinCircuit();
    TFramework board(&window);
    RegisterPartKinds();
    TIron::ExecuteStartups();

    const QString command = args[0];
    int status = 0;
    if (command == "solve" && args.size() == 2) {
        if (!Load(args[1])) return 1;
        if (Settle()) {
            for (int k = 0; k < CircuitElements.size(); ++k)
                std::printf("%s\n", qPrintable(ElementJson(k, CircuitElements[k])));
        } else {
            status = 3;
        }
    } else if (command == "netlist" && args.size() == 2) {
        if (!Load(args[1])) return 1;
        if (Settle())
            std::printf("%s", qPrintable(SpiceNetlist(BoardCircuit(), args[1])));
        else
            status = 3;
    } else if (command == "convert" && args.size() == 3) {
        if (!Load(args[1])) return 1;
        QString error;
        if (!SaveScheme(args[2], &error)) {
            std::fprintf(stderr, "schemetool: cannot write %s: %s\n", qPrintable(args[2]), qPrintable(error));
            status = 1;
        }
    } else {
        return Usage();
    }
    ClearBoard();
    return status;
}
