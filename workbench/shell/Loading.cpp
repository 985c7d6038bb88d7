#include "shell/Loading.h"

#include "shell/Global.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QScreen>

QPointer<TLoadingForm> LoadingForm;

TLoadingForm::TLoadingForm(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("LoadingForm");
    setWindowTitle(GetText(731));
    setFixedSize(ClientWidth, ClientHeight);
    CurrentStatus = new QProgressBar(this);
    CurrentStatus->setObjectName("CurrentStatus");
    CurrentStatus->setGeometry(20, 10, 434, 21);
    CurrentStatus->setRange(0, Steps);
    CurrentStatus->setTextVisible(false);
    const QRect area =
        owner && owner->isVisible() ? owner->frameGeometry() : screen()->availableGeometry();
    move(area.center() - rect().center());
}

void TLoadingForm::ShowProgress(int progress) {
    // More pictures than counted would leave the bar where it was; a full bar is the truth then.
    CurrentStatus->setValue(qBound(0, progress, CurrentStatus->maximum()));
    repaint();
}

void ShowLoadingWindow(QWidget* owner, bool visible) {
    if (visible) {
        delete LoadingForm;
        LoadingForm = new TLoadingForm(owner);
        LoadingForm->show();
        // Let the window system map the window before the loading keeps the loop busy.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        LoadingForm->ShowProgress(LoadingProgress());
        SetLoadingProgressObserver([](int progress) {
            if (LoadingForm) LoadingForm->ShowProgress(progress);
        });
    } else {
        SetLoadingProgressObserver(nullptr);
        delete LoadingForm;
    }
}
