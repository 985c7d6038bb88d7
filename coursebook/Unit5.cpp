#include "Unit5.h"
#include "ErrorReport.h"
#include "TestKey.h"
#include "Unit1.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TForm5* Form5 = nullptr;

namespace {

QLabel* MakeLabel(const QString& text, QWidget* parent, bool value) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    QFont f = label->font();
    f.setPointSize(13);
    f.setBold(value);
    label->setFont(f);
    if (value) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::red);
        label->setPalette(p);
    }
    return label;
}

} // namespace

TForm5::TForm5(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Результат тестирования"));
    // The student reads the result before going on; the test window waits behind it.
    setWindowModality(Qt::ApplicationModal);

    // Each value stands in the blank run of its fixed text, just after the dash.
    const struct {
        const char* Text;
        const char* Before; // the part of the text the value follows
        QLabel** Value;
        const char* Name;
    } rows[] = {
        {"Вы  правильно ответили на   -  ", "Вы  правильно ответили на   -  ", &Label4, "Label4"},
        {"Что  составляет    -           %", "Что  составляет    -  ", &Label5, "Label5"},
        {"Ваша  оценка        -   ", "Ваша  оценка        -   ", &Label6, "Label6"},
    };
    int y = 24;
    int width = 0;
    for (const auto& row : rows) {
        QLabel* fixed = MakeLabel(QString::fromUtf8(row.Text), this, false);
        fixed->move(32, y);
        fixed->adjustSize();
        QLabel* value = MakeLabel(QStringLiteral("0"), this, true);
        value->setObjectName(QLatin1String(row.Name));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int x =
            32 + QFontMetrics(fixed->font()).horizontalAdvance(QString::fromUtf8(row.Before));
        // Right-aligned in the gap before the per-cent sign, so one to three digits all fit.
        value->setGeometry(x, y,
                           QFontMetrics(value->font()).horizontalAdvance(QStringLiteral("100")) + 4,
                           fixed->height());
        *row.Value = value;
        width = std::max(width, value->geometry().right() + 48);
        width = std::max(width, fixed->geometry().right() + 32);
        y += fixed->height() + 14;
    }
    Button1 = new QPushButton(QStringLiteral("Ок"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button1->setMinimumWidth(100);
    Button1->adjustSize();
    Button1->move((width - Button1->width()) / 2, y + 8);
    setFixedSize(width, Button1->geometry().bottom() + 20);
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });
}

void TForm5::ShowResult(const TTestResult& result) {
    // A result still on show is journalled before the next one takes its place.
    WriteEntry();
    Shown = result;
    Pending = true;
    FormActivate();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}

bool TForm5::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QDialog::event(e);
}

void TForm5::FormActivate() {
    const int total = Shown.Right + Shown.Wrong;
    Label4->setText(QString::number(Shown.Right));
    Label5->setText(QString::number(TestPercentage(Shown.Right, total)));
    Label6->setText(QString::number(TestGrade(Shown.Right, total)));
}

void TForm5::WriteEntry() {
    if (!Pending) return;
    Pending = false;
    // The entry names the lesson the test was started from, whatever the browser shows now.
    if (Form1)
        Form1->WriteJournal(Shown.Lesson.Tema, Shown.Lesson.Urok,
                            TestPercentage(Shown.Right, Shown.Right + Shown.Wrong));
}

void TForm5::Button1Click() {
    if (Form13) Form13->hide();
    WriteEntry();
    hide();
}

void TForm5::closeEvent(QCloseEvent* event) {
    Guarded([&] { WriteEntry(); });
    QDialog::closeEvent(event);
}

void TForm5::done(int result) {
    // Escape closes a dialog through here, not through closeEvent.
    Guarded([&] { WriteEntry(); });
    QDialog::done(result);
}
