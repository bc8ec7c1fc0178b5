#pragma once

#include <QString>

// Where the store's messages go. The store shows no window: the main window plugs a message box in,
// quillmark-tool prints to standard error.
class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;

    // An error. An empty title means the application's own title. detail, when not empty, is the
    // system's reason, shown below the message.
    virtual void reportError(const QString &title, const QString &message, const QString &detail = QString()) = 0;

    // Something the user should know that is not a failure (where an unreadable file was kept, say).
    virtual void reportNotice(const QString &message) = 0;
};
