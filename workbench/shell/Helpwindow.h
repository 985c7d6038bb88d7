#pragma once
// The help: the HTML pages of the HELP folder (how to work with the program, the reference on
// circuits, the lab works) in a window of the program's own, so that help needs no web browser
// on the machine. Links between the pages stay in the window; links to the web go to the
// machine's browser; a page that is not there is reported.

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* owner);

    QTextBrowser* Browser;
    QToolButton* btnBack;
    QToolButton* btnForward;

    // Shows the page (a file, with or without "#anchor"); false, with a message, when the file
    // is not there.
    bool ShowPage(const QUrl& page);
    // What a click on a link does.
    void FollowLink(const QUrl& link);
};

// Opens the page in the program's one help window (made on first use, above `owner`). False,
// with a message, when the page is not there.
bool ShowHelpPage(const QString& path, QWidget* owner);
// The help window if one has been opened.
THelpWindow* HelpWindow();
