#pragma once
// The workbench's load-scheme socket. The running workbench listens on it; another program (the
// coursebook, a second workbench started with a scheme) connects, writes a scheme name and a line
// feed, and the workbench answers "ok" and loads that scheme: "lab1" is Labs/lab1.workbench of its
// data folder, a name with a slash is that file.

#include <QObject>
#include <QString>
#include <functional>

// Where the socket lives: in the user's runtime folder, which belongs to the user alone and is
// emptied when the session ends, so each login session has its own workbench to talk to. Both
// ends ask this one function.
QString LoadSchemeSocketName();

// Hands `name` to the running workbench without blocking the caller's event loop. `then(true)`
// runs once the workbench has answered that it took the name; `then(false)` when no workbench
// listens, or none answered within `timeoutMs`. `then` is not called once `context` is gone.
void HandSchemeToWorkbench(const QString& name, QObject* context,
                           std::function<void(bool taken)> then, int timeoutMs = 3000);

// The same, waiting for the answer (for a program that has nothing else to do meanwhile).
bool HandSchemeToWorkbench(const QString& name, int timeoutMs = 3000);
