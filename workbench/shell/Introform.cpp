#include "shell/Introform.h"

#include <QAudioOutput>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMediaPlayer>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVideoSink>
#include <QVideoWidget>

namespace {
// Until the video tells its size the window shows black at this size, so that it is there to
// take Esc from the first moment.
constexpr QSize WaitingSize(320, 240);
} // namespace

TIntroForm::TIntroForm(const QString& fileName, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
    setObjectName("IntroForm");
    setWindowTitle("Vexilo");
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::black));
    setFocusPolicy(Qt::StrongFocus);

    aviRect = new QVideoWidget(this);
    aviRect->setObjectName("aviRect");
    aviRect->setFocusPolicy(Qt::NoFocus);
    aviRect->setAspectRatioMode(Qt::IgnoreAspectRatio); // the window is the video's size anyway

    Player = new QMediaPlayer(this);
    Sound = new QAudioOutput(this);
    Player->setAudioOutput(Sound);
    Player->setVideoOutput(aviRect);
    Player->setLoops(QMediaPlayer::Once); // played once and left at its end, not rewound

    // Queued: the sink announces the size while it still holds the lock that reading it takes.
    connect(
        aviRect->videoSink(), &QVideoSink::videoSizeChanged, this,
        [this] { FitVideo(aviRect->videoSink()->videoSize()); }, Qt::QueuedConnection);
    connect(Player, &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState s) {
                if (s != QMediaPlayer::StoppedState)
                    Started = true;
                else if (Started)
                    Finish(); // the end of the video, or stopped
            });
    connect(Player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::EndOfMedia || s == QMediaPlayer::InvalidMedia) Finish();
    });
    // A file the machine cannot play is no reason to hold up the workbench.
    connect(Player, &QMediaPlayer::errorOccurred, this, [this] { Finish(); });

    Player->setSource(QUrl::fromLocalFile(fileName));
    FitVideo(WaitingSize);
}

TIntroForm::~TIntroForm() {
    // Stop the decoder before its output goes away.
    disconnect(Player, nullptr, this, nullptr);
    Player->stop();
}

void TIntroForm::FitVideo(QSize size) {
    if (size.isEmpty()) return;
    aviRect->setGeometry(0, 0, size.width(), size.height());
    setFixedSize(size);
    move(screen()->availableGeometry().center() - rect().center());
}

void TIntroForm::Play() {
    show();
    raise();
    activateWindow();
    setFocus();
    Player->play();
}

void TIntroForm::Finish() {
    if (Done) return;
    Done = true;
    emit Ended();
}

void TIntroForm::WaitUntilFinished() {
    if (Done) return;
    // A player that never starts (no media back end, an error reported before anyone
    // listened) must not hold start-up: without a known length, a minute is the limit.
    if (!Player->isAvailable() || Player->error() != QMediaPlayer::NoError) return Finish();
    QEventLoop loop;
    connect(this, &TIntroForm::Ended, &loop, &QEventLoop::quit);
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [this] {
        if (Player->duration() > 0 && Player->position() < Player->duration() &&
            Player->playbackState() == QMediaPlayer::PlayingState)
            return; // still playing a video of known length
        Finish();
    });
    guard.start(60000);
    loop.exec();
}

void TIntroForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        Player->stop();
        Finish(); // also when the player had not started yet and so reports no stop
        return;
    }
    QWidget::keyPressEvent(e);
}

void TIntroForm::closeEvent(QCloseEvent* e) {
    Player->stop();
    Finish();
    QWidget::closeEvent(e);
}

bool PlayIntro(const QString& fileName) {
    if (!QFile::exists(fileName)) return false;
    TIntroForm intro(fileName);
    intro.Play();
    intro.WaitUntilFinished();
    intro.hide();
    return true;
}
