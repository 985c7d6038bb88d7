#include "Unit4.h"
#include "DBCtrls.h"
#include "DBGrid.h"
#include "Dialogs.h"
#include "ErrorReport.h"
#include "Unit2.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

TForm4* Form4 = nullptr;

namespace {

// The lesson's seven file fields: the button that binds each, its dialog's filter.
struct TFileField {
    const char* Field;
    const char* Caption;
    const char* Filter;
    bool Preview;
    const char* Item; // what the status bar calls the bound file
};
const TFileField FileFields[] = {
    {"htm", "Выбрать HTML документ", "HTML документы|*.htm;*.mht;*.html|Все файлы|*.*", false,
     "Страница"},
    {"jpg", "Выбрать рисунок или схему", "Рисунки|*.jpg;*.bmp;*.wmf|Все файлы|*.*", true,
     "Рисунок"},
    {"avi", "Выбрать видеоурок", "Видео|*.avi|Все файлы|*.*", false, "Видеоурок"},
    {"test", "Выбрать тест", "Test|*.htm;*.txt|Все файлы|*.*", false, "Тест"},
    {"mid", "Выбрать музыку", "Музыка|*.mid;*.kar;*.wav;*.mp3|Все файлы|*.*", false, "Музыка"},
    {"wav", "Выбрать озвучку", "Музыка|*.mid;*.kar;*.wav;*.mp3|Все файлы|*.*", false, "Озвучка"},
    {"exe", "Выбрать запускаемый файл", "Программы|*.exe|Все файлы|*.*", false, "Программа"},
};

// The value of a file field for a lesson that has no such item.
const QString NoItem = QStringLiteral("w");

QLabel* Caption(const QString& text, QWidget* parent, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

bool Editing(const TTable* t) {
    return t->State() == TDataSetState::dsEdit || t->State() == TDataSetState::dsInsert;
}

// A text the row needs before it can be stored, or a warning and false.
bool Require(bool ok, const QString& warning, QWidget* owner) {
    if (!ok) ShowMessage(warning, TMessageKind::Warning, owner);
    return ok;
}

QString CodeLiteral(const QVariant& code) {
    bool ok = false;
    const qlonglong n = code.toLongLong(&ok);
    return ok && !code.isNull() ? QString::number(n) : QStringLiteral("NULL");
}

using N = TDBNavigator;
const std::initializer_list<N::TButton> FullNavigator = {
    N::nbFirst,  N::nbPrior, N::nbNext, N::nbLast,   N::nbInsert,
    N::nbDelete, N::nbEdit,  N::nbPost, N::nbCancel, N::nbRefresh};

} // namespace

QString CourseRelativePath(const QString& workDir, const QString& chosen) {
    const QFileInfo dirInfo(workDir);
    const QFileInfo fileInfo(chosen);
    // Through symbolic links both ways round: the course folder may be reached by another name.
    const QString base = dirInfo.canonicalFilePath().isEmpty()
                             ? QDir::cleanPath(dirInfo.absoluteFilePath())
                             : dirInfo.canonicalFilePath();
    const QString file = fileInfo.canonicalFilePath().isEmpty()
                             ? QDir::cleanPath(fileInfo.absoluteFilePath())
                             : fileInfo.canonicalFilePath();
    const QString relative = QDir(base).relativeFilePath(file);
    if (relative.isEmpty() || relative == QLatin1String(".") || relative == QLatin1String("..") ||
        relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative))
        return QString();
    return relative;
}

TForm4::TForm4(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Редактирование  уроков"));
    auto* column = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    column->addWidget(PageControl1, 1);
    CheckBox2 = new QCheckBox(QStringLiteral("Вкл/выкл  фильтрации"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setToolTip(
        QStringLiteral("Показывать только разделы, темы, типы и уроки, выбранные фильтрами"));
    column->addWidget(CheckBox2);
    connect(CheckBox2, &QCheckBox::clicked, this, [this] { Guarded([&] { CheckBox2Click(); }); });
}

void TForm4::LinkData(TDataModule2* data, const QString& workDir) {
    Data = data;
    WorkDir = workDir;
    PageControl1->addTab(SectionPage(), QStringLiteral("Раздел"));
    PageControl1->addTab(TopicPage(), QStringLiteral("Тема"));
    PageControl1->addTab(TypePage(), QStringLiteral("Тип урока"));
    PageControl1->addTab(LessonPage(), QStringLiteral("Редактирование  Урока"));
    PageControl1->addTab(JournalPage(), QStringLiteral("Журнал"));
    PageControl1->addTab(GroupPage(), QStringLiteral("Группа"));
    // Big enough for the widest page and a dozen rows of each grid.
    resize(sizeHint().expandedTo(QSize(900, 620)));
}

// ---- pages --------------------------------------------------------------------------------------

QWidget* TForm4::SectionPage() {
    auto* page = new QWidget(PageControl1);
    auto* grid = new QGridLayout(page);
    grid->addWidget(Caption(QStringLiteral("Редактирование  разделов"), page, true), 0, 0, 1, 3);
    SectionEdit = new TDBEdit(Data->Trazdel, QStringLiteral("razdel"), page);
    SectionEdit->setObjectName(QStringLiteral("DBEdit1"));
    grid->addWidget(SectionEdit, 1, 0, 1, 3);
    Button1 = Button(QStringLiteral("Добавить новый раздел"), "Button1", page);
    Button2 = Button(QStringLiteral("Отредактировать  Раздел"), "Button2", page);
    Button3 = Button(QStringLiteral("Ввод"), "Button3", page);
    grid->addWidget(Button1, 2, 0);
    grid->addWidget(Button2, 2, 1);
    grid->addWidget(Button3, 2, 2);
    SectionNavigator = new TDBNavigator(Data->Trazdel, FullNavigator, page);
    grid->addWidget(SectionNavigator, 3, 0, 1, 3);
    SectionGrid =
        new TDBGrid(Data->Trazdel, {{"kod_razdel", "Код  раздела"}, {"razdel", "Раздел"}}, page);
    grid->addWidget(SectionGrid, 4, 0, 1, 3);
    grid->setRowStretch(4, 1);
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Guarded([&] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { Guarded([&] { Button3Click(); }); });
    return page;
}

QWidget* TForm4::TopicPage() {
    auto* page = new QWidget(PageControl1);
    auto* grid = new QGridLayout(page);
    TopicSectionLabel = Caption(QStringLiteral("Выберите  раздел"), page, true);
    grid->addWidget(TopicSectionLabel, 0, 0);
    TopicSection = new TDBLookupComboBox(page);
    TopicSection->setObjectName(QStringLiteral("DBLookupComboBox1"));
    TopicSection->SetListSource(Data->Trazdel, QStringLiteral("kod_razdel"),
                                QStringLiteral("razdel"));
    TopicSection->SetDataSource(Data->TTema, QStringLiteral("kod_razdel"));
    // Hidden until a topic is added or edited, without the page moving when it comes.
    for (QWidget* w :
         {static_cast<QWidget*>(TopicSectionLabel), static_cast<QWidget*>(TopicSection)}) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
        w->hide();
    }
    grid->addWidget(TopicSection, 0, 1, 1, 2);
    TopicEdit = new TDBEdit(Data->TTema, QStringLiteral("tema"), page);
    TopicEdit->setObjectName(QStringLiteral("DBEdit2"));
    grid->addWidget(TopicEdit, 1, 0, 1, 3);
    Button4 = Button(QStringLiteral("Добавить новую тему"), "Button4", page);
    Button5 = Button(QStringLiteral("Отредактировать  тему"), "Button5", page);
    Button6 = Button(QStringLiteral("Ввод"), "Button6", page);
    grid->addWidget(Button4, 2, 0);
    grid->addWidget(Button5, 2, 1);
    grid->addWidget(Button6, 2, 2);
    TopicNavigator = new TDBNavigator(Data->TTema, FullNavigator, page);
    grid->addWidget(TopicNavigator, 3, 0, 1, 3);
    TopicGrid = new TDBGrid(Data->TTema, {{"razdel", "Раздел"}, {"tema", "Тема Урока"}}, page);
    grid->addWidget(TopicGrid, 4, 0, 1, 3);
    grid->setRowStretch(4, 1);
    connect(Button4, &QPushButton::clicked, this, [this] { Guarded([&] { Button4Click(); }); });
    connect(Button5, &QPushButton::clicked, this, [this] { Guarded([&] { Button5Click(); }); });
    connect(Button6, &QPushButton::clicked, this, [this] { Guarded([&] { Button6Click(); }); });
    return page;
}

QWidget* TForm4::TypePage() {
    auto* page = new QWidget(PageControl1);
    auto* grid = new QGridLayout(page);
    grid->addWidget(Caption(QStringLiteral("Редактирование  типов уроков"), page, true), 0, 0, 1,
                    3);
    TypeEdit = new TDBEdit(Data->Ttip, QStringLiteral("tip"), page);
    TypeEdit->setObjectName(QStringLiteral("DBEdit3"));
    grid->addWidget(TypeEdit, 1, 0, 1, 3);
    Button7 = Button(QStringLiteral("Добавить новый тип урока"), "Button7", page);
    Button8 = Button(QStringLiteral("Отредактировать  тип урока"), "Button8", page);
    Button9 = Button(QStringLiteral("Ввод"), "Button9", page);
    grid->addWidget(Button7, 2, 0);
    grid->addWidget(Button8, 2, 1);
    grid->addWidget(Button9, 2, 2);
    TypeNavigator = new TDBNavigator(Data->Ttip, FullNavigator, page);
    grid->addWidget(TypeNavigator, 3, 0, 1, 3);
    TypeGrid = new TDBGrid(Data->Ttip, {{"kod_tip", "Код  типа"}, {"tip", "Тип  Урока"}}, page);
    grid->addWidget(TypeGrid, 4, 0, 1, 3);
    grid->setRowStretch(4, 1);
    connect(Button7, &QPushButton::clicked, this, [this] { Guarded([&] { Button7Click(); }); });
    connect(Button8, &QPushButton::clicked, this, [this] { Guarded([&] { Button8Click(); }); });
    connect(Button9, &QPushButton::clicked, this, [this] { Guarded([&] { Button9Click(); }); });
    return page;
}

QWidget* TForm4::LessonPage() {
    auto* page = new QWidget(PageControl1);
    auto* column = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    auto* fields = new QGridLayout;
    fields->addWidget(Caption(QStringLiteral("Выберите  раздел"), page), 0, 0);
    LessonSection = new TDBLookupComboBox(page);
    LessonSection->setObjectName(QStringLiteral("DBLookupComboBox2"));
    LessonSection->SetListSource(Data->Trazdel, QStringLiteral("kod_razdel"),
                                 QStringLiteral("razdel"));
    LessonSection->SetDataSource(Data->Turok, QStringLiteral("kod_razdel"));
    fields->addWidget(LessonSection, 0, 1);
    fields->addWidget(Caption(QStringLiteral("Выберите  тему урока"), page), 1, 0);
    LessonTopic = new TDBLookupComboBox(page);
    LessonTopic->setObjectName(QStringLiteral("DBLookupComboBox3"));
    LessonTopic->SetListSource(Data->TTema, QStringLiteral("kod_tema"), QStringLiteral("tema"));
    LessonTopic->SetDataSource(Data->Turok, QStringLiteral("kod_tema"));
    fields->addWidget(LessonTopic, 1, 1);
    fields->addWidget(Caption(QStringLiteral("Выберите  тип урока"), page), 2, 0);
    LessonType = new TDBLookupComboBox(page);
    LessonType->setObjectName(QStringLiteral("DBLookupComboBox4"));
    LessonType->SetListSource(Data->Ttip, QStringLiteral("kod_tip"), QStringLiteral("tip"));
    LessonType->SetDataSource(Data->Turok, QStringLiteral("kod_tip"));
    fields->addWidget(LessonType, 2, 1);
    fields->addWidget(Caption(QStringLiteral("Название урока"), page), 3, 0);
    LessonTitle = new TDBEdit(Data->Turok, QStringLiteral("tip"), page);
    LessonTitle->setObjectName(QStringLiteral("DBEdit4"));
    fields->addWidget(LessonTitle, 3, 1);
    auto* buttons = new QHBoxLayout;
    Button10 = Button(QStringLiteral("Добавить новый урок"), "Button10", page);
    Button11 = Button(QStringLiteral("Отредактировать  урок"), "Button11", page);
    Button12 = Button(QStringLiteral("Ввод"), "Button12", page);
    buttons->addWidget(Button10);
    buttons->addWidget(Button11);
    buttons->addWidget(Button12);
    fields->addLayout(buttons, 4, 0, 1, 2);
    fields->setRowStretch(5, 1);
    top->addLayout(fields, 1);

    FilePanel = new QGroupBox(QStringLiteral("Файлы урока"), page);
    FilePanel->setObjectName(QStringLiteral("Panel1"));
    auto* files = new QVBoxLayout(FilePanel);
    QPushButton** fileButtons[] = {&Button13, &Button14, &Button15, &Button16,
                                   &Button17, &Button18, &Button19};
    for (int i = 0; i < 7; ++i) {
        const TFileField& f = FileFields[i];
        QPushButton* b = Button(QString::fromUtf8(f.Caption),
                                qPrintable(QStringLiteral("Button%1").arg(13 + i)), FilePanel);
        const QString field = QString::fromLatin1(f.Field);
        connect(b, &QPushButton::clicked, this,
                [this, field] { Guarded([&] { ChooseFile(field); }); });
        files->addWidget(b);
        *fileButtons[i] = b;
    }
    FilePanel->hide();
    top->addWidget(FilePanel);
    column->addLayout(top);

    // Choosing a section offers its topics only.
    connect(LessonSection, &TDBLookupComboBox::Click, this, [this] {
        Guarded([&] {
            Data->TTema->SetFilter(QStringLiteral("kod_razdel=") +
                                   CodeLiteral(LessonSection->KeyValue()));
            Data->TTema->SetFiltered(true);
        });
    });
    connect(Button10, &QPushButton::clicked, this, [this] { Guarded([&] { Button10Click(); }); });
    connect(Button11, &QPushButton::clicked, this, [this] { Guarded([&] { Button11Click(); }); });
    connect(Button12, &QPushButton::clicked, this, [this] { Guarded([&] { Button12Click(); }); });

    LessonNavigator = new TDBNavigator(Data->Turok, FullNavigator, page);
    column->addWidget(LessonNavigator);
    LessonGrid = new TDBGrid(Data->Turok,
                             {{"razdel", "Раздел"},
                              {"tema", "Тема"},
                              {"tip", "Название урока"},
                              {"tip_uroka", "Тип урока"}},
                             page);
    column->addWidget(LessonGrid, 1);
    StatusBar1 = new QStatusBar(page);
    StatusBar1->setSizeGripEnabled(false);
    column->addWidget(StatusBar1);
    return page;
}

QWidget* TForm4::JournalPage() {
    auto* page = new QWidget(PageControl1);
    auto* column = new QVBoxLayout(page);
    auto* filters = new QGridLayout;
    filters->addWidget(Caption(QStringLiteral("ФИО"), page), 0, 0);
    Edit1 = new QLineEdit(page);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    filters->addWidget(Edit1, 0, 1);
    filters->addWidget(Caption(QStringLiteral("Группа"), page), 1, 0);
    Edit2 = new QLineEdit(page);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    filters->addWidget(Edit2, 1, 1);
    CheckBox1 = new QCheckBox(QStringLiteral("Вкл/выкл  фильтрации"), page);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    filters->addWidget(CheckBox1, 0, 2);
    Button20 = Button(QStringLiteral("Удалить записи без оценок"), "Button20", page);
    Button21 = Button(QStringLiteral("Удалить все записи"), "Button21", page);
    filters->addWidget(Button20, 0, 3);
    filters->addWidget(Button21, 1, 3);
    filters->setColumnStretch(1, 1);
    column->addLayout(filters);
    JournalNavigator = new TDBNavigator(Data->Tjurnal,
                                        {N::nbFirst, N::nbPrior, N::nbNext, N::nbLast, N::nbDelete,
                                         N::nbPost, N::nbCancel, N::nbRefresh},
                                        page);
    column->addWidget(JournalNavigator);
    JournalGrid = new TDBGrid(Data->Tjurnal,
                              {{"fio", "ФИО  ", true},
                               {"gruppa", "Группа", true},
                               {"tema", "Тема урока"},
                               {"urok", "Тип урока"},
                               {"ocenka", "Оценка"},
                               {"data", "Дата"}},
                              page);
    column->addWidget(JournalGrid, 1);
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Guarded([&] { Edit1Change(); }); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { Guarded([&] { Edit1Change(); }); });
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { Guarded([&] { CheckBox1Click(); }); });
    connect(Button20, &QPushButton::clicked, this, [this] { Guarded([&] { Button20Click(); }); });
    connect(Button21, &QPushButton::clicked, this, [this] { Guarded([&] { Button21Click(); }); });
    return page;
}

QWidget* TForm4::GroupPage() {
    auto* page = new QWidget(PageControl1);
    auto* row = new QHBoxLayout(page);
    auto* groups = new QVBoxLayout;
    groups->addWidget(Caption(QStringLiteral("Учебные группы"), page, true));
    GroupNavigator = new TDBNavigator(Data->tgruppa, FullNavigator, page);
    groups->addWidget(GroupNavigator);
    GroupGrid = new TDBGrid(Data->tgruppa, {{"gruppa", "Группа", true}}, page);
    groups->addWidget(GroupGrid, 1);
    row->addLayout(groups, 1);

    auto* students = new QVBoxLayout;
    auto* choose = new QHBoxLayout;
    choose->addWidget(Caption(QStringLiteral("Выберите группу"), page, true));
    StudentGroup = new TDBLookupComboBox(page);
    StudentGroup->setObjectName(QStringLiteral("DBLookupComboBox5"));
    StudentGroup->SetListSource(Data->tgruppa, QStringLiteral("gruppa"), QStringLiteral("gruppa"));
    StudentGroup->SetDataSource(Data->TFio, QStringLiteral("gruppa"));
    choose->addWidget(StudentGroup, 1);
    students->addLayout(choose);
    StudentNavigator = new TDBNavigator(Data->TFio, FullNavigator, page);
    students->addWidget(StudentNavigator);
    StudentGrid = new TDBGrid(Data->TFio,
                              {{"kod_fio", "Код", true},
                               {"fio", "ФИО  учащихся", true},
                               {"gruppa", "Учебные группы", true}},
                              page);
    students->addWidget(StudentGrid, 1);
    row->addLayout(students, 2);

    // Groups and students are typed into their grids: a new row is stored at once and its name
    // cell opened for typing.
    GroupNavigator->InsertAction = [this] {
        Data->tgruppa->Insert();
        Data->tgruppa->SetFieldValue(QStringLiteral("gruppa"), QStringLiteral("Новая группа"));
        Data->tgruppa->Post();
        GroupGrid->edit(GroupGrid->Model()->index(Data->tgruppa->RecNo(), 0));
    };
    StudentNavigator->InsertAction = [this] {
        const QVariant group = Data->tgruppa->FieldValue(QStringLiteral("gruppa"));
        Data->TFio->Insert();
        Data->TFio->SetFieldValue(QStringLiteral("fio"), QStringLiteral("Новый учащийся"));
        Data->TFio->SetFieldValue(QStringLiteral("gruppa"), group);
        Data->TFio->Post();
        StudentGrid->edit(StudentGrid->Model()->index(Data->TFio->RecNo(), 1));
    };
    // The group chosen for a student is stored at once, like a cell of the grid.
    connect(StudentGroup, &TDBLookupComboBox::Click, this,
            [this] { Guarded([&] { PostIfEditing(Data->TFio); }); });
    return page;
}

// ---- sections, topics, types --------------------------------------------------------------------

void TForm4::PostIfEditing(TTable* table) {
    if (Editing(table)) table->Post();
}

void TForm4::ShowTopicSection(bool shown) {
    TopicSectionLabel->setVisible(shown);
    TopicSection->setVisible(shown);
}

void TForm4::Button1Click() {
    Data->Trazdel->Insert();
    SectionEdit->setFocus();
}

void TForm4::Button2Click() {
    Data->Trazdel->Edit();
    SectionEdit->setFocus();
}

void TForm4::Button3Click() {
    if (!Editing(Data->Trazdel)) return;
    if (!Require(!Data->Trazdel->FieldText(QStringLiteral("razdel")).trimmed().isEmpty(),
                 QStringLiteral("Введите название раздела."), this))
        return;
    Data->Trazdel->Post();
}

void TForm4::Button4Click() {
    ShowTopicSection(true);
    Data->TTema->Insert();
    // A new topic starts in the section chosen last.
    if (!Data->Trazdel->IsEmpty())
        Data->TTema->SetFieldValue(QStringLiteral("kod_razdel"),
                                   Data->Trazdel->FieldValue(QStringLiteral("kod_razdel")));
    TopicEdit->setFocus();
}

void TForm4::Button5Click() {
    ShowTopicSection(true);
    Data->TTema->Edit();
    TopicEdit->setFocus();
}

void TForm4::Button6Click() {
    TTable* topics = Data->TTema;
    QVariant section = topics->FieldValue(QStringLiteral("kod_razdel"));
    if (Editing(topics)) {
        if (!Require(!section.isNull(),
                     QStringLiteral("Выберите раздел, к которому относится тема."), this) ||
            !Require(!topics->FieldText(QStringLiteral("tema")).trimmed().isEmpty(),
                     QStringLiteral("Введите название темы."), this))
            return;
    } else if (section.isNull()) {
        section = Data->Trazdel->FieldValue(QStringLiteral("kod_razdel"));
    }
    // Filtering stores the topic being edited and keeps it the current row.
    topics->SetFilter(QStringLiteral("kod_razdel=") + CodeLiteral(section));
    topics->SetFiltered(true);
    PostIfEditing(topics);
    ShowTopicSection(false);
}

void TForm4::Button7Click() {
    Data->Ttip->Insert();
    TypeEdit->setFocus();
}

void TForm4::Button8Click() {
    Data->Ttip->Edit();
    TypeEdit->setFocus();
}

void TForm4::Button9Click() {
    if (!Editing(Data->Ttip)) return;
    if (!Require(!Data->Ttip->FieldText(QStringLiteral("tip")).trimmed().isEmpty(),
                 QStringLiteral("Введите название типа урока."), this))
        return;
    Data->Ttip->Post();
}

// ---- lessons
// --------------------------------------------------------------------------------------

void TForm4::Button10Click() {
    TTable* lessons = Data->Turok;
    lessons->Insert();
    // A new lesson has none of the seven items until a file is chosen for it.
    for (const TFileField& f : FileFields)
        lessons->SetFieldValue(QString::fromLatin1(f.Field), NoItem);
    FilePanel->show();
    StatusBar1->clearMessage();
    LessonTitle->setFocus();
}

void TForm4::Button11Click() {
    Data->Turok->Edit();
    FilePanel->show();
    LessonTitle->setFocus();
}

void TForm4::Button12Click() {
    TTable* lessons = Data->Turok;
    const QVariant topic = lessons->FieldValue(QStringLiteral("kod_tema"));
    if (Editing(lessons)) {
        if (!Require(!topic.isNull(), QStringLiteral("Выберите тему урока."), this) ||
            !Require(!lessons->FieldText(QStringLiteral("tip")).trimmed().isEmpty(),
                     QStringLiteral("Введите название урока."), this))
            return;
        // The lesson belongs to its topic's section, whichever section the list showed: the
        // browser finds it under that section only.
        const QVariant section = Data->SectionOfTopic(topic);
        if (!section.isNull()) lessons->SetFieldValue(QStringLiteral("kod_razdel"), section);
        if (lessons->FieldText(QStringLiteral("urok")).isEmpty())
            lessons->SetFieldValue(QStringLiteral("urok"),
                                   lessons->FieldText(QStringLiteral("tip")));
    }
    // Filtering stores the lesson being edited and keeps it the current row.
    lessons->SetFilter(QStringLiteral("kod_tema=") + CodeLiteral(topic));
    lessons->SetFiltered(true);
    PostIfEditing(lessons);
    FilePanel->hide();
}

void TForm4::ChooseFile(const QString& field) {
    const TFileField* spec = nullptr;
    for (const TFileField& f : FileFields)
        if (field == QLatin1String(f.Field)) spec = &f;
    if (!spec) return;
    const QString chosen = AskOpenFileName({QString::fromUtf8(spec->Caption), WorkDir,
                                            QString::fromUtf8(spec->Filter), spec->Preview, this});
    if (chosen.isEmpty()) return;
    const QString relative = CourseRelativePath(WorkDir, chosen);
    if (relative.isEmpty()) {
        ShowMessage(QStringLiteral("Файл «%1» лежит вне папки курса «%2».\n"
                                   "Урок находит свои файлы только в этой папке и в её подпапках: "
                                   "скопируйте файл туда и выберите его снова.")
                        .arg(QDir::toNativeSeparators(chosen), QDir::toNativeSeparators(WorkDir)),
                    TMessageKind::Warning, this);
        return;
    }
    TTable* lessons = Data->Turok;
    if (Editing(lessons)) {
        // Stored with the rest of the lesson by "Ввод".
        lessons->SetFieldValue(field, relative);
    } else {
        lessons->Edit();
        try {
            lessons->SetFieldValue(field, relative);
            lessons->Post();
        } catch (...) {
            lessons->Cancel();
            throw;
        }
    }
    StatusBar1->showMessage(QStringLiteral("%1: %2").arg(QString::fromUtf8(spec->Item), relative));
}

// ---- journal
// --------------------------------------------------------------------------------------

void TForm4::Edit1Change() {
    JournalFilterText = TDataModule2::JournalFilter(Edit1->text(), Edit2->text());
    Data->Tjurnal->SetFilter(JournalFilterText);
}

void TForm4::CheckBox1Click() {
    Data->Tjurnal->SetFiltered(CheckBox1->isChecked());
}

void TForm4::Button20Click() {
    TTable* journal = Data->Tjurnal;
    const QString withoutGrades = JournalFilterText.isEmpty()
                                      ? QStringLiteral("ocenka=0")
                                      : JournalFilterText + QStringLiteral(" and ocenka=0");
    journal->SetFilter(withoutGrades);
    journal->SetFiltered(true);
    try {
        journal->DeleteView();
    } catch (...) {
        journal->SetFilter(JournalFilterText);
        throw;
    }
    journal->SetFilter(JournalFilterText);
    const QSignalBlocker block(CheckBox1);
    CheckBox1->setChecked(true);
}

void TForm4::Button21Click() {
    TTable* journal = Data->Tjurnal;
    journal->Refresh();
    const int rows = journal->RecordCount();
    if (rows == 0) {
        ShowMessage(QStringLiteral("В журнале нет записей для удаления."),
                    TMessageKind::Information, this);
        return;
    }
    const bool filtered = journal->Filtered() && !journal->Filter().isEmpty();
    const QString question =
        filtered
            ? QStringLiteral(
                  "Удалить записи журнала, отобранные фильтром (%1)?\nВернуть их будет нельзя.")
                  .arg(rows)
            : QStringLiteral("Удалить все записи журнала (%1)?\nВернуть их будет нельзя.")
                  .arg(rows);
    if (!AskYesNo(question, this)) return;
    journal->DeleteView();
}

// ---- the window
// -----------------------------------------------------------------------------------

void TForm4::CheckBox2Click() {
    const bool on = CheckBox2->isChecked();
    for (TTable* t : {Data->Trazdel, Data->Ttip, Data->Turok, Data->TTema})
        t->SetFiltered(on);
}

QList<TTable*> TForm4::EditedTables() const {
    QList<TTable*> out;
    if (!Data) return out;
    for (TTable* t : {Data->Trazdel, Data->TTema, Data->Ttip, Data->Turok, Data->Tjurnal,
                      Data->tgruppa, Data->TFio})
        if (Editing(t)) out << t;
    return out;
}

void TForm4::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!Placed) {
        Placed = true;
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    if (Data) {
        // On a class server students keep adding rows: the journal is shown as it is now.
        if (Data->Tjurnal->Active() && Data->Tjurnal->State() == TDataSetState::dsBrowse)
            Guarded([&] { Data->Tjurnal->Refresh(); });
        const QSignalBlocker block2(CheckBox2), block1(CheckBox1);
        CheckBox2->setChecked(Data->TTema->Filtered() || Data->Turok->Filtered());
        CheckBox1->setChecked(Data->Tjurnal->Filtered());
    }
}

void TForm4::closeEvent(QCloseEvent* event) {
    // A row left half-edited would be stored, or refused, by whatever moves its table next.
    const QList<TTable*> edited = EditedTables();
    if (!edited.isEmpty()) {
        if (AskYesNo(QStringLiteral("Сохранить несохранённые изменения?"), this)) {
            bool stored = true;
            for (TTable* t : edited)
                Guarded([&] { t->Post(); });
            for (TTable* t : edited)
                stored = stored && !Editing(t);
            if (!stored) {
                event->ignore();
                return;
            }
        } else {
            for (TTable* t : edited)
                t->Cancel();
        }
    }
    FilePanel->hide();
    ShowTopicSection(false);
    event->accept();
}
