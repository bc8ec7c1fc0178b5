#include "mainwindow/MessageBoxReporter.h"

#include "widgets/PlainText.h"

#include <QApplication>

QString MessageBoxReporter::withPeriod(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void MessageBoxReporter::reportError(const QString &title, const QString &message, const QString &detail)
{
    const QString caption = title.isEmpty() ? QApplication::applicationDisplayName() : title;
    const QString text = title.isEmpty() ? withPeriod(message) : message;
    PlainText::messageBox(m_parent, QMessageBox::Critical, caption, text, QMessageBox::Ok, QMessageBox::NoButton,
                          detail);
}

void MessageBoxReporter::reportNotice(const QString &message)
{
    PlainText::messageBox(m_parent, QMessageBox::Information, QApplication::applicationDisplayName(), message,
                          QMessageBox::Ok);
}
