#pragma once
// The mounting wire: a fixed, very small resistance (not zero, so no loop is ever without
// impedance).

#include "components/Iron.h"

class TWire : public TIron {
    Q_OBJECT
public:
    TWire();
    QString GetHint() override;

    static void ClassStartup();
    static void ClassExit();
};
