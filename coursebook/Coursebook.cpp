#include "Coursebook.h"
#include "DataErrors.h"
#include "Dialogs.h"
#include "ErrorReport.h"
#include "Unit1.h"
#include "Unit13.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Unit7.h"

#include "platform/Folders.h"

#include <QApplication>
#include <QDir>
#include <memory>

int RunCoursebook() {
    // The course lies beside the program or in the installation's share/vexilo, and becomes the
    // working directory every lesson file is found in. An installed course is read-only: each
    // user keeps a copy of its database, with the journal, in the user's data folder.
    // A class database on a server, when the settings name one; else the embedded file.
    TServerSettings server;
    try {
        server = ReadServerSettings();
    } catch (const std::exception& e) {
        ShowErrorReport(QString::fromUtf8(e.what()));
        return 1;
    }
    TDataModule2::SetServer(server);
    SetPasswordPrompt(AskServerPassword);

    // The course lies beside the program or in the installation's share/vexilo, and becomes the
    // working directory every lesson file is found in. An installed course is read-only: each
    // user keeps a copy of its database, with the journal, in the user's data folder, unless
    // the journal is the class's on the server.
    const TInstallation installation =
        LocateInstallation(QString::fromLatin1(TDataModule2::DatabaseFile));
    if (installation.Found()) {
        QDir::setCurrent(installation.DataFolder);
        QString error;
        if (!TDataModule2::ChooseDatabase(installation, server, &error)) {
            ShowErrorReport(error);
            return 1;
        }
    }

    QApplication::setApplicationDisplayName(QStringLiteral("Velmar"));
    // Only the welcome window's closing ends the program; the browser hides it, and the picture
    // and video windows come and go.
    QApplication::setQuitOnLastWindowClosed(false);

    auto form6 = std::make_unique<TForm6>();
    Form6 = form6.get();
    auto form1 = std::make_unique<TForm1>();
    Form1 = form1.get();
    auto form13 = std::make_unique<TForm13>();
    Form13 = form13.get();
    Form1->TestWindow = Form13;
    auto form4 = std::make_unique<TForm4>();
    Form4 = form4.get();
    Form1->EditorWindow = Form4;

    std::unique_ptr<TDataModule2> data;
    try {
        data = std::make_unique<TDataModule2>();
    } catch (const std::exception& e) {
        // Without its database the coursebook has nothing to show.
        ShowErrorReport(QString::fromUtf8(e.what()));
        Form4 = nullptr;
        Form13 = nullptr;
        Form1 = nullptr;
        Form6 = nullptr;
        return 1;
    }
    DataModule2 = data.get();
    Form1->LinkData(DataModule2);
    Form4->LinkData(DataModule2, Form1->WorkDir);

    auto form3 = std::make_unique<TForm3>();
    Form3 = form3.get();
    auto form5 = std::make_unique<TForm5>();
    Form5 = form5.get();
    QObject::connect(Form13, &TForm13::Finished, Form5, &TForm5::ShowResult);
    auto form7 = std::make_unique<TForm7>();
    Form7 = form7.get();
    Form7->LinkData(DataModule2);
    Form1->PasswordWindow = Form7;

    QObject::connect(Form6, &TForm6::Closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    Form6->show();
    const int code = QApplication::exec();
    SetPasswordPrompt(nullptr);

    // A result still on show at the end is journalled like one closed by hand.
    Guarded([&] { Form5->WriteEntry(); });
    Form7 = nullptr;
    form7.reset();
    Form5 = nullptr;
    form5.reset();
    Form3 = nullptr;
    form3.reset();
    Form4 = nullptr;
    form4.reset();
    Form13 = nullptr;
    form13.reset();
    Form1 = nullptr;
    form1.reset();
    DataModule2 = nullptr;
    data.reset();
    Form6 = nullptr;
    return code;
}
