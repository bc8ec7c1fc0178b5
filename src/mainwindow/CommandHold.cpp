#include "mainwindow/CommandHold.h"

void CommandHold::hold(std::initializer_list<QAction *> actions, std::initializer_list<QWidget *> widgets)
{
    for (QAction *action : actions) {
        if (action && action->isEnabled()) {
            action->setEnabled(false);
            m_actions.emplace_back(action);
        }
    }
    for (QWidget *widget : widgets) {
        // Only a widget disabled by itself counts: one inside a disabled parent comes back with the parent.
        if (widget && !widget->testAttribute(Qt::WA_Disabled)) {
            widget->setEnabled(false);
            m_widgets.emplace_back(widget);
        }
    }
}

void CommandHold::release()
{
    for (const QPointer<QAction> &action : m_actions) {
        if (action)
            action->setEnabled(true);
    }
    for (const QPointer<QWidget> &widget : m_widgets) {
        if (widget)
            widget->setEnabled(true);
    }
    m_actions.clear();
    m_widgets.clear();
}
