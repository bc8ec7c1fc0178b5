#include "mainwindow/MessageBoxReporter.h"

#include "widgets/MessageBoxes.h"

#include <QApplication>

void MessageBoxReporter::reportError(const QString &title, const QString &message, const QString &detail)
{
    if (title.isEmpty())
        MessageBoxes::standardError(m_parent, message, detail);
    else
        MessageBoxes::error(m_parent, title, message, detail);
}

void MessageBoxReporter::reportNotice(const QString &message)
{
    MessageBoxes::information(m_parent, QApplication::applicationDisplayName(), message);
}
