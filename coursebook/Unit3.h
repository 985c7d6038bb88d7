#pragma once
#include <QPixmap>
#include <QWidget>

// A picture drawn as large as its widget allows without distorting it.
class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);
    // Throws std::runtime_error when the file is not a picture Qt can read.
    void LoadFromFile(const QString& fileName);
    const QPixmap& Picture() const { return Pixmap; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap Pixmap;
};

// The picture window of a lesson: a scheme or drawing shown beside the lesson page.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    TImage* Image1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool Placed = false;
};

extern TForm3* Form3;
