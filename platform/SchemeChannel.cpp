#include "platform/SchemeChannel.h"

#include <QEventLoop>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <memory>
#include <unistd.h>

QString LoadSchemeSocketName() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) return runtime + QStringLiteral("/vexilo-loadscheme");
    // No runtime folder at all: a name of the user's own in the temporary folder.
    return QStringLiteral("vexilo-loadscheme-%1").arg(getuid());
}

void HandSchemeToWorkbench(const QString& name, QObject* context, std::function<void(bool)> then,
                           int timeoutMs) {
    auto* socket = new QLocalSocket;
    auto* timer = new QTimer(socket);
    QPointer<QObject> guard(context);
    auto finished = std::make_shared<bool>(false);
    auto finish = [socket, guard, then, finished](bool taken) {
        if (*finished) return;
        *finished = true;
        socket->abort();
        socket->deleteLater();
        if (guard && then) then(taken);
    };
    QObject::connect(socket, &QLocalSocket::connected, socket,
                     [socket, name] { socket->write(name.toUtf8() + '\n'); });
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, finish] {
        if (socket->canReadLine()) finish(socket->readLine().trimmed() == "ok");
    });
    QObject::connect(socket, &QLocalSocket::errorOccurred, socket,
                     [socket, finish](QLocalSocket::LocalSocketError error) {
                         // The workbench hangs up right after its answer; the answer may still be
                         // unread.
                         if (error == QLocalSocket::PeerClosedError && socket->canReadLine())
                             return finish(socket->readLine().trimmed() == "ok");
                         finish(false);
                     });
    QObject::connect(timer, &QTimer::timeout, socket, [finish] { finish(false); });
    timer->setSingleShot(true);
    timer->start(timeoutMs);
    socket->connectToServer(LoadSchemeSocketName());
}

bool HandSchemeToWorkbench(const QString& name, int timeoutMs) {
    QEventLoop loop;
    bool taken = false;
    bool done = false;
    HandSchemeToWorkbench(
        name, &loop,
        [&](bool t) {
            taken = t;
            done = true;
            loop.quit();
        },
        timeoutMs);
    if (!done) loop.exec();
    return taken;
}
