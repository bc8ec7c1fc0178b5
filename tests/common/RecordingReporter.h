#pragma once

#include "store/ErrorReporter.h"

#include <QStringList>

// Keeps the store's messages for a test to check: each error as "title|message", each notice as it is.
class RecordingReporter : public ErrorReporter
{
public:
    void reportError(const QString &title, const QString &message, const QString &) override
    {
        errors << title + QLatin1Char('|') + message;
    }
    void reportNotice(const QString &message) override { notices << message; }

    QStringList errors;
    QStringList notices;
};
