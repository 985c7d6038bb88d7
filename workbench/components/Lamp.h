#pragma once
// The incandescent lamp: a load that shows how hard it works. For the circuit it is a pure
// resistance, the one its ratings give (R = U² / P); on the board it glows brighter the more of
// its rated power it takes, and it burns out with a last flash when overloaded.

#include "components/Iron.h"

#include <QRect>

// A kind's glow pictures for the whole run: 21 steps from cold (0) to full glow (20) in each
// orientation, drag cursors made from the cold pictures, and the burnt pair.
struct TGlowPictures {
    static constexpr int Count = 21;

    QImage Horizontal[Count];
    QImage Vertical[Count];
    QCursor HorizontalCursor;
    QCursor VerticalCursor;
    TPicturePair Burnt;

    // Builds the pictures from "bmp<kind>Off", "...Min", "...On" and "...BurntOut". Only the
    // region (given for the horizontal picture) is blended; the rest stays as in "On".
    void Build(const QString& kind, const QRect& region);
    void Free() { *this = TGlowPictures(); }
};

class TLamp : public TIron {
    Q_OBJECT
public:
    TLamp();

    double RatedCurrent = 0; // amperes
    double RatedPower = 0;   // watts
    double RatedVoltage = 0; // volts
    int Brightness = 0;      // the glow picture shown, 0..20
    bool VoltageHidden = false;
    bool PowerHidden = false; // the rated power and current

    // The rated current and power setters keep P = U·I and the resistance at the rated one,
    // and tell the main window that the circuit changed. 0 for current or power is ignored:
    // a lamp always has some rating.
    void SetRatedCurrent(double value);
    void SetRatedPower(double value);
    // Leaves the rated current as it is; the panel always sets it right after.
    void SetRatedVoltage(double value);
    void SetVoltageHidden(bool hidden);
    void SetPowerHidden(bool hidden);

    void UpdateState() override;
    void BurnOut(bool burn) override;
    void SaveToFile(QIODevice& file) override;
    void LoadFromFile(QIODevice& file) override;
    QString GetHint() override;
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;

    static void ClassStartup();
    static void ClassExit();
    static const TGlowPictures& ClassPictures();

protected:
    // The kind's class pictures; the heater puts its own in place.
    void UseGlowPictures(const TGlowPictures& pictures);
    // Shows the glow picture for x, the part's share of its rating (1 and above: full glow).
    void ShowGlowFor(double x);
    // Gives the part glow picture `index` in both orientations and shows it.
    void ShowGlowPicture(int index);

private:
    const TGlowPictures* Glow = nullptr;
};
