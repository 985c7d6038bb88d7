#pragma once
// A board in a window of its own, with recording seams, for one test. Parts left on it are
// destroyed before the board; the solver's log goes to the test's own folder.

#include "support/Seams.h"

#include <QWidget>

class TFramework;

struct TBoardFixture {
    TBoardFixture();
    ~TBoardFixture();
    TBoardFixture(const TBoardFixture&) = delete;
    TBoardFixture& operator=(const TBoardFixture&) = delete;

    QByteArray Log() const; // what the solver appended to LOG.LOG

    TTestSeams Seams;
    QWidget Window;
    TFramework* Board;
};
