#pragma once
#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class TDBEdit;
class TDBGrid;
class TDBLookupComboBox;
class TDBNavigator;
class TDataModule2;
class TTable;

// The path of `chosen` inside the course folder `workDir`, as the lesson's file fields keep it
// ("uroki/om.htm"); empty when the file lies outside the folder and its subfolders.
QString CourseRelativePath(const QString& workDir, const QString& chosen);

// The lesson editor: sections, topics, lesson types and lessons with their files, the journal
// and the groups with their students, each page on the shared tables of the data module.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    // Builds the pages on the tables once the data module exists.
    void LinkData(TDataModule2* data, const QString& workDir);

    QTabWidget* PageControl1;
    QCheckBox* CheckBox2; // filters of sections, topics, types and lessons on or off

    // Sections
    TDBEdit* SectionEdit;
    QPushButton *Button1, *Button2, *Button3;
    TDBNavigator* SectionNavigator;
    TDBGrid* SectionGrid;
    // Topics
    QLabel* TopicSectionLabel;
    TDBLookupComboBox* TopicSection;
    TDBEdit* TopicEdit;
    QPushButton *Button4, *Button5, *Button6;
    TDBNavigator* TopicNavigator;
    TDBGrid* TopicGrid;
    // Lesson types
    TDBEdit* TypeEdit;
    QPushButton *Button7, *Button8, *Button9;
    TDBNavigator* TypeNavigator;
    TDBGrid* TypeGrid;
    // Lessons
    TDBLookupComboBox* LessonSection;
    TDBLookupComboBox* LessonTopic;
    TDBLookupComboBox* LessonType;
    TDBEdit* LessonTitle;
    QPushButton *Button10, *Button11, *Button12;
    QWidget* FilePanel;
    QPushButton *Button13, *Button14, *Button15, *Button16, *Button17, *Button18, *Button19;
    TDBNavigator* LessonNavigator;
    TDBGrid* LessonGrid;
    QStatusBar* StatusBar1;
    // Journal
    QLineEdit* Edit1; // name
    QLineEdit* Edit2; // group
    QCheckBox* CheckBox1;
    QPushButton *Button20, *Button21;
    TDBNavigator* JournalNavigator;
    TDBGrid* JournalGrid;
    // Groups and students
    TDBGrid* GroupGrid;
    TDBNavigator* GroupNavigator;
    TDBNavigator* StudentNavigator;
    TDBLookupComboBox* StudentGroup;
    TDBGrid* StudentGrid;

    QString JournalFilter() const { return JournalFilterText; }

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button10Click();
    void Button11Click();
    void Button12Click();
    // Buttons 13 to 19: choose the file of a lesson's field.
    void ChooseFile(const QString& field);
    void Edit1Change();
    void CheckBox1Click();
    void CheckBox2Click();
    void Button20Click();
    void Button21Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* SectionPage();
    QWidget* TopicPage();
    QWidget* TypePage();
    QWidget* LessonPage();
    QWidget* JournalPage();
    QWidget* GroupPage();
    static void PostIfEditing(TTable* table);
    void ShowTopicSection(bool shown);
    QList<TTable*> EditedTables() const;

    TDataModule2* Data = nullptr;
    QString WorkDir;
    QString JournalFilterText;
    bool Placed = false;
};

extern TForm4* Form4;
