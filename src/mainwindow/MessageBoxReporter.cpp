#include "mainwindow/MessageBoxReporter.h"

#include <QApplication>
#include <QMessageBox>

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
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, m_parent);
    if (!detail.isEmpty())
        box.setInformativeText(detail);
    box.exec();
}

void MessageBoxReporter::reportNotice(const QString &message)
{
    QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), message, QMessageBox::Ok, m_parent);
    box.exec();
}
