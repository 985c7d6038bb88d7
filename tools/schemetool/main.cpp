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

#include "platform/Folders.h"
#include "platform/ProgramInfo.h"
#include "schemefile/SchemeParts.h"
#include "solver/Calculate.h"
#include "solver/Netlist.h"
#include "texts/Texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cstdio>

namespace {
constexpr char UsageText[] = "schemetool [--log FILE] solve FILE\n"
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

QString Pair(TComplex c) {
    return "[" + ExactNumber(c.real()) + "," + ExactNumber(c.imag()) + "]";
}

QString ElementJson(int k, const TSchemePart& p, double omega) {
    return QString("{\"index\":%1,\"class\":\"%2\",\"kind\":%3,\"first\":%4,\"second\":%5,"
                   "\"z\":%6,\"i\":%7,\"v\":%8,\"burnt\":%9}")
        .arg(k)
        .arg(QString::fromLatin1(p.ClassName()))
        .arg(p.Kind)
        .arg(p.First)
        .arg(p.Second)
        .arg(Pair(p.Impedance(omega)), Pair(p.Current), Pair(p.Voltage))
        .arg(p.Burnt ? "true" : "false");
}

bool Load(const QString& path, TSchemeFile& scheme) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "schemetool: cannot open %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    try {
        scheme = ReadSchemeFile(file);
    } catch (const ESchemeIO& fault) {
        std::fprintf(stderr, "schemetool: cannot load %s: %s\n", qPrintable(path),
                     qPrintable(GetText(long(fault.Fault))));
        return false;
    }
    return true;
}

// The workbench would show these in a message box.
void Say(TSolveProblem problem, const QString& text) {
    QString message = text;
    if (problem == TSolveProblem::Singular) message = HasText(712) ? GetText(712) : QString();
    if (problem == TSolveProblem::LogStopped) message = GetText(713) + text;
    std::fprintf(stderr, "schemetool: %s\n", qPrintable(message));
}

// Solves until the circuit settles, as the board's tick does. False when a solve failed (said
// on standard error) or the burn-outs did not settle.
bool Settle(TSchemeFile& scheme) {
    if (!SettleScheme(scheme, Say)) {
        std::fprintf(stderr, "schemetool: the circuit did not settle within 22 solves\n");
        return false;
    }
    return !Solver::LastSolve.Failed;
}

// The old file stays until the new one is whole.
bool Save(const QString& path, const TSchemeFile& scheme) {
    QSaveFile file(path);
    QString error;
    if (file.open(QIODevice::WriteOnly)) {
        try {
            WriteSchemeFile(file, scheme);
            // The records may still sit in the buffer; a full disk shows only when they go out.
            if (file.flush() && file.commit()) return true;
            error = file.errorString();
        } catch (const ESchemeIO& e) {
            error = QString::fromUtf8(e.what());
        }
        file.cancelWriting();
    } else {
        error = file.errorString();
    }
    std::fprintf(stderr, "schemetool: cannot write %s: %s\n", qPrintable(path), qPrintable(error));
    return false;
}

// Qt's start-up looks for a file in the runtime folder and warns when the session has none;
// this tool keeps nothing there, and its standard error is for real messages only.
QtMessageHandler QtDefaultHandler = nullptr;
void QuietAboutRuntimeFolder(QtMsgType type, const QMessageLogContext& context,
                             const QString& text) {
    if (type == QtWarningMsg && text.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set")) return;
    QtDefaultHandler(type, context, text);
}
} // namespace

int main(int argc, char** argv) {
    const int answered = AnswerInfoOptions(argc, argv, "schemetool", HelpText);
    if (answered >= 0) return answered;
    QtDefaultHandler = qInstallMessageHandler(QuietAboutRuntimeFolder);
    // No window, no display: the circuit is read from the file's records straight into the
    // solver's view.
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    Solver::LogPath.clear(); // no LOG.LOG unless asked for
    if (args.size() >= 2 && args[0] == "--log") {
        Solver::LogPath = args[1];
        args = args.mid(2);
    }
    if (args.size() < 2) return Usage();

    const TInstallation installation = LocateInstallation("English.lng");
    LoadLanguageFile(
        QDir(installation.Found() ? installation.DataFolder : installation.ProgramFolder)
            .filePath("English.lng"));

    const QString command = args[0];
    TSchemeFile scheme;
    if (command == "solve" && args.size() == 2) {
        if (!Load(args[1], scheme)) return 1;
        if (!Settle(scheme)) return 3;
        for (size_t k = 0; k < scheme.Parts.size(); ++k)
            std::printf("%s\n", qPrintable(ElementJson(int(k), scheme.Parts[k], scheme.Omega)));
    } else if (command == "netlist" && args.size() == 2) {
        if (!Load(args[1], scheme)) return 1;
        if (!Settle(scheme)) return 3;
        std::printf("%s", qPrintable(SpiceNetlist(CircuitOf(scheme), args[1])));
    } else if (command == "convert" && args.size() == 3) {
        if (!Load(args[1], scheme)) return 1;
        if (!Save(args[2], scheme)) return 1;
    } else {
        return Usage();
    }
    return 0;
}
