#include "Coursebook.h"
#include "ErrorReport.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit6.h"

#include <QApplication>
#include <memory>

int RunCoursebook()
{
    QApplication::setApplicationDisplayName(QStringLiteral("Velmar"));
    // Only the welcome window's closing ends the program; the browser hides it, and the picture
    // and video windows come and go.
    QApplication::setQuitOnLastWindowClosed(false);

    auto form6 = std::make_unique<TForm6>();
    Form6 = form6.get();
    auto form1 = std::make_unique<TForm1>();
    Form1 = form1.get();

    std::unique_ptr<TDataModule2> data;
    try {
        data = std::make_unique<TDataModule2>();
    } catch (const std::exception& e) {
        // Without its database the coursebook has nothing to show.
        ShowErrorReport(QString::fromUtf8(e.what()));
        Form1 = nullptr;
        Form6 = nullptr;
        return 1;
    }
    DataModule2 = data.get();
    Form1->LinkData(DataModule2);

    auto form3 = std::make_unique<TForm3>();
    Form3 = form3.get();

    QObject::connect(Form6, &TForm6::Closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    Form6->show();
    const int code = QApplication::exec();

    Form3 = nullptr;
    form3.reset();
    Form1 = nullptr;
    form1.reset();
    DataModule2 = nullptr;
    data.reset();
    Form6 = nullptr;
    return code;
}
