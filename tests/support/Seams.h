#pragma once
// Replaces the program's seams for one test: messages are answered by script and recorded,
// sounds are recorded instead of played, waits return at once, settings go to a file of the
// test's own.

#include "shell/Global.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

class TTestSeams : public QObject {
public:
    TTestSeams();
    ~TTestSeams() override;

    QList<TMessageRequest> Messages;
    QList<int> Answers; // answers to give, in order; IdOk (or the first button) when none left
    // Each message runs an event loop of its own for a moment, as a modal box does.
    bool NestedLoops = false;
    QStringList Sounds; // every sound asked for, found or not
    QList<int> Waits;
    QTemporaryDir Dir;

    QStringList MessageTexts() const;
};
