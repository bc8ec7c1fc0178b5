#pragma once

#include <QPointer>
#include <QWidget>

// Stops a window from repainting for the guard's lifetime, so that the user sees one final layout.
// Guards nest: only the outermost one lets the window paint again.
class UpdatesGuard
{
public:
    explicit UpdatesGuard(QWidget *widget) : m_widget(widget), m_wasEnabled(widget && widget->updatesEnabled())
    {
        if (m_wasEnabled)
            m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesGuard()
    {
        if (m_wasEnabled && m_widget)
            m_widget->setUpdatesEnabled(true);
    }

    UpdatesGuard(const UpdatesGuard &) = delete;
    UpdatesGuard &operator=(const UpdatesGuard &) = delete;

private:
    QPointer<QWidget> m_widget;
    bool m_wasEnabled;
};
