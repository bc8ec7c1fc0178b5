#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>

// What checking one link found.
struct LinkCheckResult
{
    enum Outcome {
        Ok = 0,
        Moved, // every redirect was permanent and leads elsewhere: finalUrl is the new address
        Redirected, // temporary redirects on the way; the page is there
        Broken,
        Unreachable, // may come back: a timeout, a refused or reset connection, a server error
        NotChecked,
    };
    static constexpr int OutcomeCount = NotChecked + 1;

    Outcome outcome = NotChecked;
    int status = 0; // the last HTTP status code; 0 when none came
    QString finalUrl; // where the redirects ended; empty without redirects
    QString reason;
    QStringList chain; // every address the redirects went through, the first one included
    QDateTime checkedAt;
    int retryAfterSeconds = -1; // how long a site that limits its requests asked to wait; -1 when it did not say

    // The site answered 429 (too many requests): it is there but would not answer now. Never broken.
    bool isRateLimited() const { return outcome == Unreachable && status == RateLimitedStatus; }
    static constexpr int RateLimitedStatus = 429;

    // "ok", "moved", "redirected", "broken", "unreachable", "not-checked"
    static QString outcomeKey(Outcome outcome);
    // The outcome of a key; false when there is none.
    static bool outcomeFromKey(QStringView key, Outcome *outcome);
    // The outcome's key, with what it is about when that matters: "unreachable (rate limited)".
    QString verdict() const;
};

Q_DECLARE_METATYPE(LinkCheckResult)
