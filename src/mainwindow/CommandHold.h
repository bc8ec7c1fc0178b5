#pragma once

#include <QAction>
#include <QPointer>
#include <QWidget>

#include <initializer_list>
#include <vector>

// Keeps commands (actions and the widgets that run them) disabled for a while, for example while the
// collection is still on its way, and then gives back exactly those that were enabled when held.
class CommandHold
{
public:
    CommandHold() = default;
    ~CommandHold() { release(); }

    CommandHold(const CommandHold &) = delete;
    CommandHold &operator=(const CommandHold &) = delete;

    // Disables those of the actions and widgets that are enabled now; nulls are passed over.
    void hold(std::initializer_list<QAction *> actions, std::initializer_list<QWidget *> widgets = {});
    // Enables again what hold() disabled (unless it is gone meanwhile).
    void release();

private:
    std::vector<QPointer<QAction>> m_actions;
    std::vector<QPointer<QWidget>> m_widgets;
};
