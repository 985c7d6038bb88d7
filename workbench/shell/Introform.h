#pragma once
// The intro: a short video the school may put beside the program as "Intro.avi". It plays once
// at start-up in a small window of the video's own size before the workbench appears; Esc ends
// it early.

#include <QWidget>

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;

class TIntroForm : public QWidget {
    Q_OBJECT
public:
    explicit TIntroForm(const QString& fileName = QStringLiteral("Intro.avi"),
                        QWidget* parent = nullptr);
    ~TIntroForm() override;

    QMediaPlayer* Player;
    QVideoWidget* aviRect; // where the picture appears; the window is exactly its size
    QAudioOutput* Sound;

    // Shows the window and starts the video.
    void Play();
    // The video ended, could not be played, or the student pressed Esc.
    bool Finished() const { return Done; }
    // Runs the event loop (input included, so Esc reaches the window) until Finished().
    void WaitUntilFinished();

signals:
    void Ended();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // Makes the window the size of the video's picture, centred on the screen.
    void FitVideo(QSize size);
    void Finish();
    bool Started = false;
    bool Done = false;
};

// Plays `fileName` in an intro window when the file exists and returns once it has ended;
// false, at once and without a window, when there is no such file.
bool PlayIntro(const QString& fileName = QStringLiteral("Intro.avi"));
