#pragma once
#include <QWidget>

class QLineEdit;
class QPushButton;
class TDataModule2;

// The password window of the lesson editor. The right password reveals the browser's
// "Редактировать" button for the rest of the run; "Сменить пароль" opens the lower panel, where
// a new password is typed twice. With no password stored yet, the window asks to set one first.
class TForm7 : public QWidget {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
    void LinkData(TDataModule2* data);

    QLineEdit* Edit1;     // the password
    QPushButton* Button1; // "Ввод"
    QPushButton* Button2; // "Сменить пароль"
    QWidget* LowerPanel;
    QLineEdit* Edit2;     // the new password
    QLineEdit* Edit3;     // the new password again
    QPushButton* Button3; // "Ввод" of the lower panel

    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OpenLowerPanel();
    void CloseLowerPanel();

    TDataModule2* Data = nullptr;
    // Set only when the stored password was entered (or none is stored): the lower panel never
    // changes the password otherwise.
    bool ChangeAllowed = false;
};

extern TForm7* Form7;
