#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through here, so that they all look and behave alike and tests can answer
// them. Their texts are always plain text: they often hold names from the collection or from files, which Qt must
// never take for markup.
namespace MessageBoxes {

enum class Kind { Question, Information, Warning, Error };

struct Message
{
    Kind kind = Kind::Information;
    QString title; // empty: the application's title
    QString text;
    QString detail; // shown below the text; left out when empty
};

// Shows message in a modal box: a question with Yes and No, No the default; every other kind with a single OK.
// True when a question was answered Yes; false otherwise, also when the box was closed without an answer.
bool show(QWidget *parent, const Message &message);

bool question(QWidget *parent, const QString &title, const QString &text);
void information(QWidget *parent, const QString &title, const QString &text, const QString &detail = QString());
void warning(QWidget *parent, const QString &title, const QString &text, const QString &detail = QString());
void error(QWidget *parent, const QString &title, const QString &text, const QString &detail = QString());

// The application's standard error box: the message with a period added unless it ends in one, under the
// application's title, with the system's reason (if any) below.
void standardError(QWidget *parent, const QString &message, const QString &detail = QString());
// The standard error box's text rule: a period is added when the last character comes after "." in character order.
QString withPeriod(const QString &message);

// Replaces the boxes with presenter, which gets each message and returns the answer (tests answer the boxes so);
// returns the presenter that was in place. An empty presenter brings the boxes back.
using Presenter = std::function<bool(const Message &message)>;
Presenter setPresenter(Presenter presenter);

} // namespace MessageBoxes
