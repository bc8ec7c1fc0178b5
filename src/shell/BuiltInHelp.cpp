#include "shell/BuiltInHelp.h"

#include "shell/HelpWindow.h"

#include <QDir>

BuiltInHelp::BuiltInHelp() = default;

BuiltInHelp::~BuiltInHelp() = default;

void BuiltInHelp::HtmlHelp(const QString &helpFile, Command command, int data)
{
    if (!m_window)
        m_window = std::make_unique<HelpWindow>(m_book);

    if (!HelpBook::Serves(helpFile)) {
        m_window->showNotice(tr("The help file %1 could not be found.").arg(QDir::toNativeSeparators(helpFile)));
    } else if (command == HelpContext) {
        const QUrl topic = m_book.TopicPage(data);
        if (topic.isEmpty())
            m_window->showNotice(tr("There is no help topic for context number %1.").arg(data));
        else
            m_window->showPage(topic);
    } else {
        m_window->showPage(m_book.ContentsPage());
    }

    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
