#pragma once
// The heating element: a nichrome spiral on a ceramic tube. It is a lamp in all but its looks
// and one rule: it glows with the current through it, and it tolerates no current above its
// rated one.

#include "components/Lamp.h"

class THeater : public TLamp {
    Q_OBJECT
public:
    THeater();

    void UpdateState() override;
    QString GetHint() override;
    // The heater's page shows the rated power instead of the current.
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;

    static void ClassStartup();
    static void ClassExit();
    static const TGlowPictures& ClassPictures();
};
