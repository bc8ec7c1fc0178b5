#include "mainwindow/Confirmations.h"

#include <QMessageBox>

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
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void error(QWidget *parent, const QString &title, const QString &text)
{
    if (current().error) {
        current().error(title, text);
        return;
    }
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

void information(QWidget *parent, const QString &title, const QString &text)
{
    if (current().information) {
        current().information(title, text);
        return;
    }
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

Handler setHandler(Handler handler)
{
    Handler previous = current();
    current() = std::move(handler);
    return previous;
}

} // namespace Confirmations
