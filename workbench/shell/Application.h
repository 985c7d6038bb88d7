#pragma once
// The workbench's application object: besides the event loop it holds the program's error
// report. An exception that escapes an event handler (a part's, a window's, the board's tick)
// is shown in a message and the program goes on with the next event, instead of ending.

#include <QApplication>
#include <functional>

class TWorkbenchApplication : public QApplication {
public:
    TWorkbenchApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs `deliver` (the delivery of one event); an exception it throws is reported and the
// event counts as not handled.
bool DeliverReportingErrors(const std::function<bool()>& deliver);
