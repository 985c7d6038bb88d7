#include "Media.h"
#include "ErrorReport.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

TMediaPlayer::TMediaPlayer(QObject* parent)
    : QObject(parent), Media(new QMediaPlayer(this)), Audio(new QAudioOutput(this)) {
    Media->setAudioOutput(Audio);
    connect(Media, &QMediaPlayer::errorOccurred, this,
            [](QMediaPlayer::Error, const QString& text) { ShowErrorReport(text); });
}

void TMediaPlayer::SetDisplay(QVideoWidget* display) {
    Screen = display;
    Media->setVideoOutput(display);
}

QWidget* TMediaPlayer::Display() const {
    return Screen;
}

void TMediaPlayer::Open() {
    Media->stop();
    Media->setSource(QUrl::fromLocalFile(FileName));
    // A newly opened file owns the player: a video of the previous file must not stay on screen.
    if (Screen) Screen->hide();
}

void TMediaPlayer::Play() {
    Media->play();
}

void TMediaPlayer::Stop() {
    Media->stop();
}

void TMediaPlayer::Close() {
    Media->stop();
    Media->setSource(QUrl());
    if (Screen) Screen->hide();
}

bool TMediaPlayer::IsOpen() const {
    return !Media->source().isEmpty();
}

bool TMediaPlayer::IsPlaying() const {
    return Media->playbackState() == QMediaPlayer::PlayingState;
}
