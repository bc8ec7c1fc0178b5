#pragma once

#include <QString>

#include <functional>

class QWidget;

// The main window's confirmations and error boxes, in one place so that tests can answer them.
namespace Confirmations {

// A Yes/No box with a question icon; true for Yes.
bool question(QWidget *parent, const QString &title, const QString &text);
// An error box with a single OK button.
void error(QWidget *parent, const QString &title, const QString &text);
// An information box with a single OK button.
void information(QWidget *parent, const QString &title, const QString &text);

struct Handler
{
    std::function<bool(const QString &title, const QString &text)> question;
    std::function<void(const QString &title, const QString &text)> error;
    std::function<void(const QString &title, const QString &text)> information;
};
// Replaces the boxes (tests); returns the handler that was in place. An empty handler restores the boxes.
Handler setHandler(Handler handler);

} // namespace Confirmations
