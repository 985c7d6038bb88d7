#pragma once
#include <QString>
#include <exception>
#include <functional>

// The program's default error report: a message box with the error's text, titled with the
// application's name. Database, media and page errors are not handled where they happen; the
// action that met them stops and the user reads the text here. Tests install their own report
// so that no message box opens for real.
using TErrorReport = std::function<void(const QString& text)>;

void ShowErrorReport(const QString& text);
TErrorReport SetErrorReport(TErrorReport report); // returns the previous one

// Runs one user action and sends whatever it throws to the error report, the way an event
// handler's failure ends that handler and nothing else. Exceptions must not cross Qt's event loop.
template <class F> void Guarded(F&& action) {
    try {
        action();
    } catch (const std::exception& e) {
        ShowErrorReport(QString::fromUtf8(e.what()));
    }
}
