#pragma once

#include "store/ErrorReporter.h"

class QWidget;

// Shows the store's messages in message boxes over the main window: errors in the application's
// standard error box (the text, with a period added when it does not end in punctuation, under the
// application's title, with an error icon and an OK button), notices in an information box.
class MessageBoxReporter : public ErrorReporter
{
public:
    explicit MessageBoxReporter(QWidget *parent) : m_parent(parent) { }

    void reportError(const QString &title, const QString &message, const QString &detail = QString()) override;
    void reportNotice(const QString &message) override;

private:
    QWidget *m_parent;
};
