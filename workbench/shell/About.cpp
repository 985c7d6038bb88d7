#include "shell/About.h"

#include "shell/Auxwindows.h"
#include "shell/Global.h"
#include "shell/Workshop.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>

QPointer<TAboutPanel> AboutPanel;

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Color);
    if (OnPaint) OnPaint(p);
}

TAboutPanel::TAboutPanel(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("AboutPanel");
    setWindowTitle(GetText(701));
    setFixedSize(ClientWidth, ClientHeight);

    Image2 = new QLabel(this);
    Image2->setObjectName("Image2");
    Image2->setGeometry(rect());
    Image2->setScaledContents(true);
    Image2->setAlignment(Qt::AlignCenter);

    DTxt = new TPaintBox(this);
    DTxt->setObjectName("DTxt");
    DTxt->setGeometry(28, 195, 285, 187);
    DTxt->Color = TextColour;
    DTxt->OnPaint = [this](QPainter& p) { DTxtPaint(p); };

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(28, 195, 285, 187);
    Memo1->setReadOnly(true);
    Memo1->setPlainText("Vexilo\n"
                        "Учебный пакет по основам электротехники:\n"
                        "виртуальный электронный стенд, программа уроков\n"
                        "и калькулятор активного фильтра.\n"
                        "© Разработчики Vexilo");
    Memo1->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(PauseInterval);
    connect(Timer1, &QTimer::timeout, this, &TAboutPanel::Timer1Timer);

    TextPicture = MakeTextPicture(GetText(702), DTxt->width(), DTxt->Color, DTxt->font());

    // The picture is drawn one row taller than the window; its last row is left out.
    const QImage picture = LoadJpegResource("jpgAbout");
    if (!picture.isNull())
        Image2->setPixmap(
            QPixmap::fromImage(picture.copy(0, 0, picture.width(), picture.height() - 1)));
}

QImage TAboutPanel::MakeTextPicture(const QString& text, int width, const QColor& colour,
                                    const QFont& font) {
    const QStringList lines = text.split('\n');
    const int lineHeight = QFontMetrics(font).size(Qt::TextSingleLine, "qwerty|[]").height();
    // Two rows to spare below the last line, so that the text leaves a clean edge as it moves.
    // The lines are centred, as credits are.
    QImage picture(width, int(lines.size()) * lineHeight + 2, QImage::Format_RGB32);
    picture.fill(colour);
    QPainter p(&picture);
    p.setFont(font);
    p.setPen(Qt::black);
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QRect(0, i * lineHeight, width, lineHeight), Qt::AlignHCenter | Qt::AlignTop,
                   lines[i]);
    return picture;
}

void TAboutPanel::ScrollOnce() {
    y -= Step;
    if (TextPicture.height() + y < 0) y = DTxt->height();
    DTxt->update();
}

void TAboutPanel::Timer1Timer() {
    if (Timer1->interval() == PauseInterval) Timer1->setInterval(ScrollInterval);
    ScrollOnce();
}

void TAboutPanel::DTxtPaint(QPainter& p) {
    p.drawImage(0, y, TextPicture);
}

void TAboutPanel::showEvent(QShowEvent* e) {
    Memo1->hide();
    move(screen()->availableGeometry().center() - rect().center());
    // Every showing lets the reader see where the text stands before it moves on.
    Timer1->setInterval(PauseInterval);
    Timer1->start();
    QDialog::showEvent(e);
}

void TAboutPanel::hideEvent(QHideEvent* e) {
    // Nobody sees the text while the window is away; it goes on from here next time.
    Timer1->stop();
    QDialog::hideEvent(e);
}

void TAboutPanel::mousePressEvent(QMouseEvent*) {
    reject();
}

TAboutPanel* CreateAboutPanel(TWorkshopForm* form) {
    delete AboutPanel;
    AboutPanel = new TAboutPanel(form);
    form->Windows.AboutWindow = AboutPanel;
    form->UpdateCommandButtons();
    return AboutPanel;
}
