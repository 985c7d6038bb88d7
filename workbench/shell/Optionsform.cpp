#include "shell/Optionsform.h"

#include "shell/Global.h"
#include "shell/Startup.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

namespace {
const QString LanguageValue = QStringLiteral("Language");

// The values of "Language".
constexpr int LanguageEnglish = 0;
constexpr int LanguageRussian = 1;
constexpr int LanguageEstonian = 2;
constexpr int DefaultLanguage = LanguageRussian;

// The settings give their failures no text of their own; these read like the system's.
QString ReadFailure(const QString& path) {
    return QString("Failed to get data for '%1' from %2").arg(LanguageValue, path);
}
QString WriteFailure(const QString& path) {
    return QString("Failed to set data for '%1' in %2").arg(LanguageValue, path);
}
// A plain message carries the program's name as its caption.
QString PlainCaption() {
    return QGuiApplication::applicationDisplayName();
}
} // namespace

TOptions::TOptions(QWidget* parent, const QString& folder) : QDialog(parent) {
    setObjectName("Options");
    setWindowTitle(GetText(751));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lblSelectLanguage = new QLabel(GetText(751), this);
    lblSelectLanguage->setMinimumWidth(240);
    Russian = new QRadioButton(GetText(753), this);
    English = new QRadioButton(GetText(754), this);
    Estonian = new QRadioButton(GetText(1106), this);
    Estonian->setVisible(false);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* b : {Russian, English, Estonian})
        group->addButton(b);
    btnOk = new QPushButton(GetText(508), this);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(GetText(509), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* choices = new QVBoxLayout;
    choices->setContentsMargins(16, 0, 0, 0);
    for (QRadioButton* b : {Russian, English, Estonian})
        choices->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSelectLanguage);
    layout->addLayout(choices);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOk, &QPushButton::clicked, this, &TOptions::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TOptions::btnCancelClick);

    // A language whose file is missing cannot be loaded at the next start, so it is not offered.
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    Russian->setEnabled(QFile::exists(dir.filePath(LanguageFileName(LanguageRussian))));
    English->setEnabled(QFile::exists(dir.filePath(LanguageFileName(LanguageEnglish))));
    Estonian->setEnabled(QFile::exists(dir.filePath(LanguageFileName(LanguageEstonian))));

    // Reading never creates the settings file; only a change of language writes it.
    Registry = OpenSettings();
    switch (ReadLanguage()) {
    case LanguageRussian:
        Russian->setChecked(true);
        break;
    case LanguageEnglish:
        English->setChecked(true);
        break;
    case LanguageEstonian:
        Estonian->setChecked(true);
        break;
    default:
        break; // a value no button stands for: none is selected
    }
}

TOptions::~TOptions() = default;

int TOptions::ReadLanguage() {
    // Another program (or the teacher) may have changed the file since it was opened.
    Registry->sync();
    if (Registry->status() != QSettings::NoError) {
        ShowMessage(ReadFailure(Registry->fileName()), PlainCaption());
        return DefaultLanguage;
    }
    const QVariant value = Registry->value(LanguageValue);
    if (!value.isValid()) return DefaultLanguage;
    bool ok = false;
    const int language = value.toInt(&ok);
    if (!ok) {
        ShowMessage(QString("Invalid data type for '%1'").arg(LanguageValue), PlainCaption());
        return DefaultLanguage;
    }
    return language;
}

int TOptions::ChosenLanguage() const {
    int language = -1;
    if (Russian->isChecked()) language = LanguageRussian;
    if (English->isChecked()) language = LanguageEnglish;
    if (Estonian->isChecked()) language = LanguageEstonian;
    return language;
}

void TOptions::btnOkClick() {
    const int stored = ReadLanguage();
    const int chosen = ChosenLanguage();
    // Nothing selected (the stored value matched no button and the user chose none): the stored
    // value stays as it is.
    if (chosen >= 0 && chosen != stored) {
        bool written = false;
        if (Registry->isWritable()) {
            Registry->setValue(LanguageValue, chosen);
            Registry->sync();
            written = Registry->status() == QSettings::NoError;
        }
        if (written) {
            ShowMessage(GetText(1107), GetText(751));
        } else {
            // The settings are the machine's and only an administrator may change them. The
            // notice that the new language comes at the next start would then be untrue.
            ShowMessage(WriteFailure(Registry->fileName()), PlainCaption());
        }
    }
    accept();
}

void TOptions::btnCancelClick() {
    reject();
}
