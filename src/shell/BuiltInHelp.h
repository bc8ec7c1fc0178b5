#pragma once

#include "shell/HelpBook.h"
#include "shell/HelpSystem.h"

#include <memory>

class HelpWindow;

// The program's help: every request opens the built-in help window, without an owner, at the topic asked for.
// The window is created at the first request and kept for the next ones.
class BuiltInHelp : public HelpSystem
{
public:
    BuiltInHelp();
    ~BuiltInHelp() override;

    void showContents() override;
    void showTopic(int contextNumber) override;

    // The help window; none before the first request.
    HelpWindow *window() const { return m_window.get(); }
    const HelpBook &book() const { return m_book; }

private:
    // The help window, created when missing, in front of the others.
    HelpWindow &shownWindow();

    HelpBook m_book;
    std::unique_ptr<HelpWindow> m_window;
};
