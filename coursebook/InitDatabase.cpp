#include "InitDatabase.h"
#include "DataErrors.h"
#include "Schema.h"
#include "ServerConnection.h"

#include <QSqlDatabase>

#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

void Say(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

// The password typed on the terminal without echo; none when there is no terminal to ask on.
std::optional<QString> AskOnTerminal(const TPasswordRequest& request) {
    if (!isatty(STDIN_FILENO)) return std::nullopt;
    if (!request.Refusal.isEmpty()) Say(stderr, request.Refusal);
    std::fprintf(stderr, "Password for %s: ", request.Server.Display().toLocal8Bit().constData());
    std::fflush(stderr);
    termios before{};
    const bool quiet = tcgetattr(STDIN_FILENO, &before) == 0;
    if (quiet) {
        termios hidden = before;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    std::string line;
    const bool read = bool(std::getline(std::cin, line));
    if (quiet) tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
    std::fputc('\n', stderr);
    if (!read) return std::nullopt;
    return QString::fromLocal8Bit(line.c_str());
}

} // namespace

int RunInitDatabase(const QStringList& arguments) {
    QString user;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--init-db")) continue;
        if (a == QLatin1String("--user") && i + 1 < arguments.size()) {
            user = arguments[++i];
            continue;
        }
        Say(stderr,
            QStringLiteral(
                "coursebook: unknown option \"%1\"\nusage: coursebook --init-db [--user NAME]")
                .arg(a));
        return 2;
    }
    TServerSettings server;
    try {
        server = ReadServerSettings();
    } catch (const EDatabaseError& e) {
        Say(stderr, QStringLiteral("coursebook: ") + e.Text());
        return 1;
    }
    if (!server.Configured()) {
        Say(stderr,
            QStringLiteral("coursebook: no class database is configured. Name it in %1:\n"
                           "  [Server]\n  Host=...\n  Port=5432\n  Database=...\n  User=...")
                .arg(ServerSettingsFile()));
        return 1;
    }
    if (!user.isEmpty()) server.User = user;
    SetPasswordPrompt(AskOnTerminal);
    const QString connection = QStringLiteral("coursebook-init-db");
    int code = 0;
    try {
        OpenServerConnection(connection, server);
        const int lessons = InitCourseDatabase(connection, SampleCourseScript());
        Say(stdout,
            QStringLiteral(
                "coursebook: %1 now holds the lesson tables and the sample course (%2 lessons).\n"
                "Students' log-in roles go into coursebook_student, teachers' into "
                "coursebook_teacher:\n"
                "  CREATE ROLE class11 LOGIN PASSWORD '...' IN ROLE coursebook_student;\n"
                "  CREATE ROLE teacher LOGIN PASSWORD '...' IN ROLE coursebook_teacher;")
                .arg(server.Display())
                .arg(lessons));
    } catch (const EDatabaseError& e) {
        Say(stderr, QStringLiteral("coursebook: ") + e.Text());
        code = 1;
    }
    SetPasswordPrompt(nullptr);
    if (QSqlDatabase::contains(connection)) {
        QSqlDatabase::database(connection, false).close();
        QSqlDatabase::removeDatabase(connection);
    }
    return code;
}
