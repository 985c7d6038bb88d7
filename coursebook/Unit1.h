#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QString>

class QAction;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;
class QVideoWidget;
class QWebEngineView;
class TDBLookupComboBox;
class TDataModule2;
class TForm13;
class TMediaPlayer;

// The lesson browser: section, topic and lesson lists, the lesson page, and tool buttons for the
// lesson's picture, video, music, commentary, test and program.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Binds the lists to the shared tables once the data module exists.
    void LinkData(TDataModule2* data);

    QString WorkDir;

    TDBLookupComboBox* DBLookupComboBox1; // sections
    TDBLookupComboBox* DBLookupComboBox2; // topics of the section
    TDBLookupComboBox* DBLookupComboBox3; // lessons of the topic
    QPushButton* Button1;                 // "Редактировать"
    QPushButton* Button2;                 // "Выключить звук "
    QToolButton* ToolButton1;             // picture
    QToolButton* ToolButton2;             // video
    QToolButton* ToolButton3;             // page
    QToolButton* ToolButton4;             // music (toggle)
    QToolButton* ToolButton7;             // commentary (toggle)
    QToolButton* ToolButton8;             // test
    QToolButton* ToolButton9;             // program
    QAction* N1;
    QAction* N2;
    QAction* N3;
    QWebEngineView* WebBrowser1;
    QLabel* StatusPanels[3];
    QTimer* Timer1;
    TMediaPlayer* MediaPlayer1; // video and commentary
    TMediaPlayer* MediaPlayer2; // music
    QVideoWidget* VideoWindow;

    // Windows that the browser opens but does not own.
    QPointer<TForm13> TestWindow;     // the test of a lesson
    QPointer<QWidget> EditorWindow;   // the lesson editor
    QPointer<QWidget> PasswordWindow; // the editor password

    void FormCreate();
    void FormActivate();
    void Timer1Timer();
    void DBLookupComboBox1Click();
    void DBLookupComboBox2Click();
    void DBLookupComboBox3Click();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton7Click();
    void ToolButton8Click();
    void ToolButton9Click();
    void Button1Click();
    void Button2Click();
    void N1Click();
    void N2Click();
    void N3Click();

    // Appends the journal entry of a lesson visit (grade 0) or a finished test (the percentage)
    // with the welcome window's name and group. A journal that cannot be written is said once
    // in the run, and so is a class server that cannot be reached (the entries wait on this
    // computer meanwhile); the lesson goes on either way.
    void WriteJournal(const QString& tema, const QString& urok, int ocenka);

    // Shows a local page (HTML or MHT) in the HTML view.
    void Navigate(const QString& fileName);
    // The full path of the current lesson's file in `field`, or empty when the field does not
    // name an existing file.
    QString LessonFile(const QString& field) const;
    QString StartPage() const;

    // "Редактировать" lives in a toolbar, where its action decides whether it is seen.
    void SetButton1Visible(bool visible);
    bool Button1Visible() const;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TDataModule2* Data = nullptr;
    QAction* Button1Action = nullptr;
    bool JournalFailureShown = false;
    bool JournalQueueShown = false;
};

extern TForm1* Form1;
