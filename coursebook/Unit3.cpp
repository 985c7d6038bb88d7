#include "Unit3.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <stdexcept>

TForm3* Form3 = nullptr;

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TImage::LoadFromFile(const QString& fileName) {
    QImageReader reader(fileName);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        throw std::runtime_error(QStringLiteral("Не удалось загрузить рисунок \"%1\": %2")
                                     .arg(fileName, reader.errorString())
                                     .toStdString());
    }
    Pixmap = QPixmap::fromImage(image);
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (Pixmap.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize fitted = Pixmap.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    p.drawPixmap(target, Pixmap);
}

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Графическое изображение"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Image1 = new TImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    layout->addWidget(Image1);
    resize(287, 182);
}

void TForm3::showEvent(QShowEvent* event) {
    // Centred once; after that the window stays where the student put it.
    if (!Placed) {
        Placed = true;
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}
