#pragma once
// The black box: a sealed part that hides one circuit element (a resistor, a coil, a capacitor,
// a battery or a generator) with values drawn at random when the student takes it from the
// parts box. The student finds out by measuring what is inside; only the teacher's hint names
// it. A box that holds a source keeps to the rule that batteries and generators never share the
// board.

#include "components/Iron.h"

class TBlackBug : public TIron {
    Q_OBJECT
public:
    // What the box holds.
    enum : quint8 { Empty = 0, Resistor = 1, Coil = 2, Capacitor = 3, Battery = 4, Generator = 5 };

    // A request of 1..4 gives that content; anything else draws one at random.
    explicit TBlackBug(int request = -1);
    ~TBlackBug() override;

    quint8 Variant = Empty; // a scheme file may carry values outside 1..5: kept as they are

    void SetVariant(int variant);
    TComplex ImpedanceWhen(bool acDriven) override;
    void SetHidden(bool) override {} // a box is never hidden
    bool IsAlternatingSource() const override;
    bool StateShowsEmf() const override { return Variant == Battery || Variant == Generator; }
    QString GetHint() override;
    void SaveToFile(QIODevice& file) override;
    void LoadFromFile(QIODevice& file) override;

    static void ClassStartup();
    static void ClassExit();

private:
    // Gives up the source the box counted as, so that it may hold something else.
    void ReleaseContent();
    // Counts the box as the source it holds now.
    void RegisterContent();
};
