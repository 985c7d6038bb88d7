#pragma once
// The language dialog: the student or teacher picks the language of the workbench's texts. The
// choice is stored as "Language" in the machine-wide settings and takes effect at the next start,
// because the language file is read once, at start-up.

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;
class QRadioButton;
class QSettings;

class TOptions : public QDialog {
    Q_OBJECT
public:
    // The language files are looked for in `folder`; by default the working directory, which
    // start-up has made the program's folder.
    explicit TOptions(QWidget* parent = nullptr, const QString& folder = QString());
    ~TOptions() override;

    QLabel* lblSelectLanguage;
    QRadioButton* Russian;
    QRadioButton* English;
    QRadioButton* Estonian; // kept out of sight; it still shows a stored Estonian setting
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // Stores the chosen language when it differs from the stored one, then closes.
    void btnOkClick();
    void btnCancelClick();

    // The language the radio buttons stand for; -1 when none of them is selected.
    int ChosenLanguage() const;

private:
    // "Language" as stored; Russian (1) when it is missing or cannot be read.
    int ReadLanguage();

    // Held open while the dialog lives, as the settings are the dialog's whole subject.
    std::unique_ptr<QSettings> Registry;
};
