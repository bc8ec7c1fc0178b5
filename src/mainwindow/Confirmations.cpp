#include "mainwindow/Confirmations.h"

#include "widgets/PlainText.h"

namespace Confirmations {

namespace {
Handler &current()
{
    static Handler handler;
    return handler;
}
} // namespace

bool question(QWidget *parent, const QString &title, const QString &text)
{
    if (current().question)
        return current().question(title, text);
    return PlainText::messageBox(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        == QMessageBox::Yes;
}

void error(QWidget *parent, const QString &title, const QString &text)
{
    if (current().error) {
        current().error(title, text);
        return;
    }
    PlainText::messageBox(parent, QMessageBox::Critical, title, text, QMessageBox::Ok);
}

void information(QWidget *parent, const QString &title, const QString &text)
{
    if (current().information) {
        current().information(title, text);
        return;
    }
    PlainText::messageBox(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

Handler setHandler(Handler handler)
{
    Handler previous = current();
    current() = std::move(handler);
    return previous;
}

} // namespace Confirmations
