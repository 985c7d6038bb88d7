#include "Unit6.h"
#include "Unit1.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TForm6* Form6 = nullptr;

namespace {

QLabel* MakeLabel(const QString& text, int pointSize, bool bold, const QColor& colour,
                  QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setPointSize(pointSize);
    f.setBold(bold);
    label->setFont(f);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TForm6::TForm6(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Вход"));
    setFixedSize(688, 368);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x80, 0x00));
    setPalette(pal);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 24, 40, 24);
    layout->addWidget(
        MakeLabel(QStringLiteral("Электронное  учебное руководство"), 20, true, Qt::white, this));
    layout->addWidget(
        MakeLabel(QStringLiteral("для самостоятельного изучения "), 16, false, Qt::white, this));
    layout->addWidget(MakeLabel(QStringLiteral("Torvane"), 40, true, Qt::yellow, this));
    layout->addStretch();

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    auto* prompt1 = MakeLabel(QStringLiteral("Введите  ФИО"), 12, true, Qt::white, this);
    auto* prompt2 = MakeLabel(QStringLiteral("Введите  группу"), 12, true, Qt::white, this);
    prompt1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    prompt2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(prompt1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(prompt2, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addSpacing(12);

    Button1 = new QPushButton(QStringLiteral("Вход"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button1->setMinimumWidth(140);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    connect(Button1, &QPushButton::clicked, this, &TForm6::Button1Click);
}

void TForm6::Button1Click() {
    // Name and group are taken as typed, empty ones too: they only label journal entries.
    if (Form1) Form1->showMaximized();
    hide();
}

void TForm6::keyPressEvent(QKeyEvent* event) {
    // A plain window has no default button of its own: Enter in either box (the line edits pass
    // it on) or anywhere else on the window enters the course.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Button1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm6::showEvent(QShowEvent* event) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QWidget::showEvent(event);
}

void TForm6::closeEvent(QCloseEvent* event) {
    event->accept();
    emit Closed();
}
