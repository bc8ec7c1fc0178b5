#include "shell/BuiltInHelp.h"

#include "shell/HelpWindow.h"

BuiltInHelp::BuiltInHelp() = default;

BuiltInHelp::~BuiltInHelp() = default;

void BuiltInHelp::showContents()
{
    shownWindow().showContents();
}

void BuiltInHelp::showTopic(int contextNumber)
{
    shownWindow().showTopic(contextNumber);
}

HelpWindow &BuiltInHelp::shownWindow()
{
    if (!m_window)
        m_window = std::make_unique<HelpWindow>(m_book);
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return *m_window;
}
