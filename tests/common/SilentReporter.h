#pragma once

#include "store/ErrorReporter.h"

// Swallows the store's messages, for tests and tools that run the main window without message boxes.
class SilentReporter : public ErrorReporter
{
public:
    void reportError(const QString &, const QString &, const QString &) override { }
    void reportNotice(const QString &) override { }
};
