#include "Unit7.h"
#include "Dialogs.h"
#include "EditPassword.h"
#include "ErrorReport.h"
#include "Unit1.h"
#include "Unit2.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TForm7* Form7 = nullptr;

namespace {

// Password boxes show a star for every character.
class TStarStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QLineEdit* PasswordBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setEchoMode(QLineEdit::Password);
    auto* style = new TStarStyle;
    style->setParent(box);
    box->setStyle(style);
    box->setMinimumWidth(180);
    return box;
}

const QString NotSetText =
    QStringLiteral("Пароль для редактирования ещё не задан.\n"
                   "Задайте его: введите новый пароль дважды и нажмите «Ввод».");

} // namespace

TForm7::TForm7(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Ввод пароля для редактирования"));

    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize); // the window follows its visible panels

    auto* upper = new QWidget(this);
    auto* grid = new QGridLayout(upper);
    grid->addWidget(new QLabel(QStringLiteral("Введите пароль"), upper), 0, 0);
    Edit1 = PasswordBox("Edit1", upper);
    grid->addWidget(Edit1, 0, 1);
    Button1 = new QPushButton(QStringLiteral("Ввод"), upper);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Сменить пароль"), upper);
    Button2->setObjectName(QStringLiteral("Button2"));
    grid->addWidget(Button1, 0, 2);
    grid->addWidget(Button2, 1, 1, 1, 2, Qt::AlignRight);
    column->addWidget(upper);

    LowerPanel = new QWidget(this);
    LowerPanel->setObjectName(QStringLiteral("Panel2"));
    auto* lower = new QGridLayout(LowerPanel);
    lower->addWidget(new QLabel(QStringLiteral("Введите пароль"), LowerPanel), 0, 0);
    Edit2 = PasswordBox("Edit2", LowerPanel);
    lower->addWidget(Edit2, 0, 1);
    lower->addWidget(new QLabel(QStringLiteral("Введите пароль"), LowerPanel), 1, 0);
    Edit3 = PasswordBox("Edit3", LowerPanel);
    lower->addWidget(Edit3, 1, 1);
    Button3 = new QPushButton(QStringLiteral("Ввод"), LowerPanel);
    Button3->setObjectName(QStringLiteral("Button3"));
    lower->addWidget(Button3, 1, 2);
    column->addWidget(LowerPanel);
    LowerPanel->hide();

    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Guarded([&] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { Guarded([&] { Button3Click(); }); });
    connect(Edit1, &QLineEdit::returnPressed, Button1, &QPushButton::click);
    connect(Edit3, &QLineEdit::returnPressed, Button3, &QPushButton::click);
}

void TForm7::LinkData(TDataModule2* data) {
    Data = data;
}

void TForm7::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // Each opening asks afresh: a password typed earlier is not left in the box.
    Edit1->clear();
    CloseLowerPanel();
    Edit1->setFocus();
}

void TForm7::OpenLowerPanel() {
    ChangeAllowed = true;
    Edit2->clear();
    Edit3->clear();
    LowerPanel->show();
    Edit2->setFocus();
}

void TForm7::CloseLowerPanel() {
    ChangeAllowed = false;
    Edit2->clear();
    Edit3->clear();
    LowerPanel->hide();
}

void TForm7::Button1Click() {
    if (!Data) return;
    switch (CheckEditPassword(Data->Tpas, Edit1->text())) {
    case TPasswordCheck::Right:
        if (Form1) Form1->SetButton1Visible(true);
        break;
    case TPasswordCheck::NotSet:
        ShowMessage(NotSetText, TMessageKind::Information, this);
        OpenLowerPanel();
        break;
    case TPasswordCheck::Wrong:
        // A wrong password is not commented on.
        break;
    }
}

void TForm7::Button2Click() {
    if (!Data) return;
    switch (CheckEditPassword(Data->Tpas, Edit1->text())) {
    case TPasswordCheck::Right:
        OpenLowerPanel();
        break;
    case TPasswordCheck::NotSet:
        ShowMessage(NotSetText, TMessageKind::Information, this);
        OpenLowerPanel();
        break;
    case TPasswordCheck::Wrong:
        ShowMessage(QStringLiteral("Пароль неверный"), TMessageKind::Warning, this);
        break;
    }
}

void TForm7::Button3Click() {
    if (!Data || !ChangeAllowed) return;
    const QString first = Edit2->text();
    const QString second = Edit3->text();
    CloseLowerPanel();
    if (first != second) {
        ShowMessage(QStringLiteral("Пароли не совпадают"), TMessageKind::Warning, this);
        return;
    }
    if (first.isEmpty()) {
        ShowMessage(QStringLiteral("Пароль не может быть пустым"), TMessageKind::Warning, this);
        return;
    }
    StoreEditPassword(Data->Tpas, first);
    Edit1->clear();
    ShowMessage(QStringLiteral("Пароль успешно изменен"), TMessageKind::Information, this);
}
