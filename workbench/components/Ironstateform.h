#pragma once
// The part-state window: a small table for the teacher with the solver's results for the selected
// part as complex values (impedance, current, voltage or the source's EMF, power), each split
// into its real and imaginary part. The component base fills it whenever the selection changes
// or the selected part gets a new solution.

#include "components/PanelValues.h"
#include "components/Toolwindow.h"

class QFrame;
class QTableWidget;

class TIronState : public TToolWindow, public TStatePort {
    Q_OBJECT
public:
    explicit TIronState(QWidget* mainWindow);
    ~TIronState() override;

    static constexpr int DesignWidth = 326;
    static constexpr int DesignHeight = 109;

    QFrame* Panel1;
    QTableWidget* IronState; // the value cells; its headers are the fixed row and column

    // Cells as (column, row): column 0 and row 0 are the fixed labels.
    void SetCell(int column, int row, const QString& text) override;
    QString Cell(int column, int row) const;

    int ColumnWidth(int column) const;
    int RowHeight() const;

protected:
    void resizeEvent(QResizeEvent* e) override;
};

extern TIronState* IronStateWindow;
