#pragma once
// The record the parameters panel and the selected part exchange, and the two windows that show
// the selected part. Both windows are optional: while one does not exist, nothing is shown.

#include <QString>
#include <QtGlobal>

struct TPanelValues {
    double Values[4] = {0, 0, 0, 0};
    // 0x20, 0x40, 0x80, 0x100: values 0..3 are hidden; 0x04 reverse a battery; 0x08 / 0x10 the
    // battery discharges / is eternal; the switch page sends 1 (open) or 2 (closed).
    quint32 Flags = 0;
};

constexpr quint32 HiddenFlag(int slot) {
    return 0x20u << slot;
}

// The parameters panel as the parts see it.
class TPanelPort {
public:
    virtual ~TPanelPort() = default;
    virtual void SelectPage(int page) = 0;
    virtual void FillPage(const TPanelValues& values) = 0;
    virtual void ShowPanel() = 0;
};

// The part-state window's grid as the parts see it; cells are (column, row).
class TStatePort {
public:
    virtual ~TStatePort() = default;
    virtual void SetCell(int column, int row, const QString& text) = 0;
};

extern TPanelPort* FloatControlPanel;
extern TStatePort* IronStateForm;
