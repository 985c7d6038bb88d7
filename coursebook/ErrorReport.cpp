#include "ErrorReport.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void MessageBoxReport(const QString& text) {
    QMessageBox::critical(QApplication::activeWindow(), QGuiApplication::applicationDisplayName(),
                          text);
}

TErrorReport& CurrentReport() {
    static TErrorReport report = MessageBoxReport;
    return report;
}

} // namespace

void ShowErrorReport(const QString& text) {
    CurrentReport()(text);
}

TErrorReport SetErrorReport(TErrorReport report) {
    TErrorReport old = CurrentReport();
    CurrentReport() = report ? std::move(report) : TErrorReport(MessageBoxReport);
    return old;
}
