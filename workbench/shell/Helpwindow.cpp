#include "shell/Helpwindow.h"

#include "shell/Global.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QPointer<THelpWindow> TheHelpWindow;
}

THelpWindow::THelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("HelpWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(960, 700);
    Browser = new QTextBrowser(this);
    Browser->setOpenLinks(false); // every link goes through FollowLink
    btnBack = new QToolButton(this);
    btnBack->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    btnForward = new QToolButton(this);
    btnForward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    btnBack->setEnabled(false);
    btnForward->setEnabled(false);
    connect(btnBack, &QToolButton::clicked, Browser, &QTextBrowser::backward);
    connect(btnForward, &QToolButton::clicked, Browser, &QTextBrowser::forward);
    connect(Browser, &QTextBrowser::backwardAvailable, btnBack, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, btnForward, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::anchorClicked, this, &THelpWindow::FollowLink);
    connect(Browser, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(Browser->documentTitle()); });

    auto* bar = new QHBoxLayout;
    bar->addWidget(btnBack);
    bar->addWidget(btnForward);
    bar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(Browser);
}

bool THelpWindow::ShowPage(const QUrl& page) {
    const QString file = page.toLocalFile();
    if (!QFileInfo(file).isFile()) {
        // text ids: 619, 620
        ShowMessage(GetText(619) + file, GetText(620), TMsgButtons::Ok, TMsgIcon::Warning, this);
        return false;
    }
    Browser->setSource(page);
    return true;
}

void THelpWindow::FollowLink(const QUrl& link) {
    const QUrl target = Browser->source().resolved(link);
    if (!target.isLocalFile()) {
        QDesktopServices::openUrl(target); // a page on the web
        return;
    }
    if (target.adjusted(QUrl::RemoveFragment) == Browser->source().adjusted(QUrl::RemoveFragment)) {
        Browser->scrollToAnchor(target.fragment()); // a place on this page
        return;
    }
    ShowPage(target);
}

bool ShowHelpPage(const QString& path, QWidget* owner) {
    const QUrl page = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!QFileInfo(path).isFile()) {
        ShowMessage(GetText(619) + page.toLocalFile(), GetText(620), TMsgButtons::Ok,
                    TMsgIcon::Warning, owner);
        return false;
    }
    if (!TheHelpWindow) {
        TheHelpWindow = new THelpWindow(owner);
        if (owner) TheHelpWindow->move(owner->geometry().center() - TheHelpWindow->rect().center());
    }
    TheHelpWindow->ShowPage(page);
    TheHelpWindow->show();
    TheHelpWindow->raise();
    TheHelpWindow->activateWindow();
    return true;
}

THelpWindow* HelpWindow() {
    return TheHelpWindow;
}
