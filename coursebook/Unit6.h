#pragma once
#include <QWidget>

class QLineEdit;
class QPushButton;

// The welcome window: the student types name and group and enters the course. It is the
// application's main window: closing it ends the program, also while it is hidden.
class TForm6 : public QWidget {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);

    QLineEdit* Edit1; // name
    QLineEdit* Edit2; // group
    QPushButton* Button1;

    void Button1Click();

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

extern TForm6* Form6;
