#include "Seams.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

TTestSeams::TTestSeams() {
    SetMessageHandler([this](const TMessageRequest& r) {
        Messages.append(r);
        if (NestedLoops) {
            QEventLoop loop;
            QTimer::singleShot(50, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (!Answers.isEmpty()) return Answers.takeFirst();
        switch (r.Buttons) {
        case TMsgButtons::YesNo:
        case TMsgButtons::YesNoCancel:
            return int(IdYes);
        default:
            return int(IdOk);
        }
    });
    SetSoundSink([this](const TSoundRequest& r) { Sounds.append(r.Name); });
    SetWaitHandler([this](int ms) { Waits.append(ms); });
    SetSettingsFilePath(Dir.filePath("settings.ini"));
}

TTestSeams::~TTestSeams() {
    SetMessageHandler(nullptr);
    SetSoundSink(nullptr);
    SetWaitHandler(nullptr);
}

QStringList TTestSeams::MessageTexts() const {
    QStringList texts;
    for (const TMessageRequest& r : Messages)
        texts << r.Text;
    return texts;
}
