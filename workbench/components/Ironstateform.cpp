#include "components/Ironstateform.h"

#include "shell/Global.h"

#include <QFrame>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

TIronState* IronStateWindow = nullptr;

TIronState::TIronState(QWidget* mainWindow) : TToolWindow(mainWindow, "Состояние детали", true) {
    setObjectName("IronStateForm");
    Panel1 = new QFrame(Client());
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    auto* layout = new QVBoxLayout(Client());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1);

    IronState = new QTableWidget(4, 2, Panel1);
    IronState->setObjectName("IronState");
    auto* inner = new QVBoxLayout(Panel1);
    inner->setContentsMargins(2, 2, 2, 2);
    inner->addWidget(IronState);
    IronState->setFrameStyle(QFrame::NoFrame);
    IronState->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    IronState->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    IronState->setEditTriggers(QAbstractItemView::NoEditTriggers);
    IronState->setSelectionMode(QAbstractItemView::NoSelection);
    IronState->setFocusPolicy(Qt::NoFocus);
    IronState->setCornerButtonEnabled(false);
    // The user may widen a column or a row by dragging its line in the fixed row or column.
    IronState->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    IronState->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    IronState->horizontalHeader()->setMinimumSectionSize(10);
    IronState->verticalHeader()->setMinimumSectionSize(8);
    IronState->setStyleSheet(
        "QTableWidget { background: rgb(104,106,112); color: white; gridline-color: rgb(60,62,66);"
        "  font: bold 11px; }"
        "QHeaderView { background: rgb(76,78,84); }"
        "QHeaderView::section { background: rgb(76,78,84); color: white; font: bold 10px;"
        "  border: 0px; border-right: 1px solid rgb(50,52,56); border-bottom: 1px solid "
        "rgb(50,52,56); }"
        "QTableCornerButton::section { background: rgb(76,78,84); border: 0px;"
        "  border-right: 1px solid rgb(50,52,56); border-bottom: 1px solid rgb(50,52,56); }");

    IronState->setHorizontalHeaderLabels({GetText(742), GetText(743)});
    const QString suffix = GetText(182);
    IronState->setVerticalHeaderLabels({"R", "I" + suffix, "U" + suffix, "W" + suffix});
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 2; ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            IronState->setItem(row, column, item);
        }
    SetClientSize(DesignWidth, DesignHeight);
    IronStateWindow = this;
}

TIronState::~TIronState() {
    if (IronStateWindow == this) IronStateWindow = nullptr;
    if (IronStateForm == this) IronStateForm = nullptr;
}

void TIronState::SetCell(int column, int row, const QString& text) {
    if (column < 0 || column > 2 || row < 0 || row > 4) return;
    if (row == 0 && column > 0)
        IronState->horizontalHeaderItem(column - 1)->setText(text);
    else if (column == 0 && row > 0)
        IronState->verticalHeaderItem(row - 1)->setText(text);
    else if (row > 0)
        IronState->item(row - 1, column - 1)->setText(text);
}

QString TIronState::Cell(int column, int row) const {
    if (row == 0 && column > 0) return IronState->horizontalHeaderItem(column - 1)->text();
    if (column == 0 && row > 0) return IronState->verticalHeaderItem(row - 1)->text();
    if (row > 0 && column > 0) return IronState->item(row - 1, column - 1)->text();
    return QString();
}

int TIronState::ColumnWidth(int column) const {
    return column == 0 ? IronState->verticalHeader()->width() : IronState->columnWidth(column - 1);
}

int TIronState::RowHeight() const {
    return IronState->verticalHeader()->defaultSectionSize();
}

// Five equal rows and two equal value columns fill the window, whatever its size.
void TIronState::resizeEvent(QResizeEvent* e) {
    TToolWindow::resizeEvent(e);
    const int clientWidth = Client()->width();
    const int clientHeight = Client()->height();
    const int valueWidth = (clientWidth - 40 - 10) / 2;
    const int rowHeight = (clientHeight - 10) / 5;
    IronState->verticalHeader()->setFixedWidth(40);
    IronState->setColumnWidth(0, valueWidth);
    IronState->setColumnWidth(1, valueWidth);
    IronState->verticalHeader()->setDefaultSectionSize(rowHeight);
    for (int row = 0; row < 4; ++row)
        IronState->setRowHeight(row, rowHeight);
    IronState->horizontalHeader()->setFixedHeight(rowHeight);
}
