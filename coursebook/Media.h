#pragma once
#include <QObject>
#include <QPointer>
#include <QString>

class QAudioOutput;
class QMediaPlayer;
class QWidget;
class QVideoWidget;

// An invisible player of one file at a time: the file is named, opened, played, stopped and
// closed. Video is drawn in the display window given to it; sound goes to the default output.
// Playback errors go to the error report.
class TMediaPlayer : public QObject {
    Q_OBJECT
public:
    explicit TMediaPlayer(QObject* parent = nullptr);

    QString FileName;
    void Open();
    void Play();
    void Stop();
    void Close();

    void SetDisplay(QVideoWidget* display);
    QWidget* Display() const;
    QMediaPlayer* Player() const { return Media; }
    bool IsOpen() const;
    bool IsPlaying() const;

private:
    QMediaPlayer* Media;
    QAudioOutput* Audio;
    QPointer<QVideoWidget> Screen;
};
