#include "shell/Application.h"

#include "shell/Global.h"

TWorkbenchApplication::TWorkbenchApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TWorkbenchApplication::notify(QObject* receiver, QEvent* event) {
    return DeliverReportingErrors([&] { return QApplication::notify(receiver, event); });
}

bool DeliverReportingErrors(const std::function<bool()>& deliver) {
    QString text;
    try {
        return deliver();
    } catch (const EThrownText& failure) {
        text = failure.Text();
    } catch (const std::exception& error) {
        text = QString::fromLocal8Bit(error.what());
    } catch (...) {
        text = QStringLiteral("?");
    }
    // The message box runs an event loop of its own; a report from inside it is still shown.
    ShowMessage(text, QCoreApplication::applicationName(), TMsgButtons::Ok, TMsgIcon::Error);
    return false;
}
