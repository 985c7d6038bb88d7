#pragma once
// The about window: a borderless panel with the program's picture and a text window in which the
// credits scroll up, line after line, and come round again. A click anywhere closes it. It is
// made once at start-up and kept, so the credits go on where they stopped the last time.

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QTimer;
class TWorkshopForm;

// A plain area that leaves its painting to its owner.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent) : QWidget(parent) {}
    QColor Color;
    std::function<void(QPainter&)> OnPaint;

protected:
    void paintEvent(QPaintEvent*) override;
};

class TAboutPanel : public QDialog {
    Q_OBJECT
public:
    explicit TAboutPanel(QWidget* parent = nullptr);

    static constexpr int ClientWidth = 338;
    static constexpr int ClientHeight = 408;
    // The text window's colour, a pale grey-green the picture's window is painted in too.
    static inline const QColor TextColour{160, 167, 160};

    QLabel* Image2;        // the picture, filling the window
    TPaintBox* DTxt;       // the text window
    QPlainTextEdit* Memo1; // the credits as written into the window's design; never shown
    QTimer* Timer1;

    QImage TextPicture; // every line of the about text, one under the other
    int y = 0;          // where the text picture's top is drawn in DTxt
    int Step = 1;
    int PauseInterval = 1000; // the text rests this long after the window appears
    int ScrollInterval = 100;

    // The lines of `text` drawn centred in black on `colour` in `font`, `width` pixels wide,
    // each line as high as the font's text, and two spare rows below.
    static QImage MakeTextPicture(const QString& text, int width, const QColor& colour,
                                  const QFont& font);

    void Timer1Timer();
    // Moves the text up by one step; once it has left the top it comes in again at the bottom.
    void ScrollOnce();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void DTxtPaint(QPainter& p);
};

// The about window, from CreateAboutPanel to the main window's end.
extern QPointer<TAboutPanel> AboutPanel;

// Makes the about window (owned by `form`) and lets the main window's about button show it
// modally.
TAboutPanel* CreateAboutPanel(TWorkshopForm* form);
