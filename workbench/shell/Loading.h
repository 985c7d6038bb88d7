#pragma once
// The start-up progress window: a small window over the main window with one progress bar that
// follows the loading of the part pictures, so the student sees that the program is busy.

#include <QPointer>
#include <QWidget>

class QProgressBar;

class TLoadingForm : public QWidget {
    Q_OBJECT
public:
    // Shown over `owner`, centred on it.
    explicit TLoadingForm(QWidget* owner);

    static constexpr int ClientWidth = 471;
    static constexpr int ClientHeight = 42;
    // The vertical pictures the kinds load at start-up, one step each.
    static constexpr int Steps = 58;

    QProgressBar* CurrentStatus;

    // Moves the bar to `progress` and paints the window at once: the event loop does not run
    // while the pictures load.
    void ShowProgress(int progress);
};

// The window while the part pictures load; null at any other time.
extern QPointer<TLoadingForm> LoadingForm;

// Shows the window over `owner` (the main window) and lets it follow the picture loading, or
// closes it.
void ShowLoadingWindow(QWidget* owner, bool visible);
