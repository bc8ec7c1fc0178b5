#include "widgets/HyperlinkLabel.h"

#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>

HyperlinkLabel::HyperlinkLabel(QWidget *parent) : HyperlinkLabel(QString(), parent) { }

HyperlinkLabel::HyperlinkLabel(const QString &caption, QWidget *parent) : QLabel(parent)
{
    // Anything else would render markup in the caption or take an ampersand for a mnemonic.
    setTextFormat(Qt::PlainText);
    setText(caption);

    m_activeFont = font();
    m_activeFont.setUnderline(true);
    m_inactiveFont = font();
    m_inactiveFont.setUnderline(true);
    applyLook(m_inactiveFont, m_inactiveColor);
}

HyperlinkLabel::~HyperlinkLabel()
{
    if (m_hovered)
        QGuiApplication::restoreOverrideCursor();
}

void HyperlinkLabel::setActiveFont(const QFont &font)
{
    m_activeFont = font;
    if (m_hovered)
        applyLook(m_activeFont, m_activeColor);
}

void HyperlinkLabel::setActiveColor(const QColor &color)
{
    m_activeColor = color;
    if (m_hovered)
        applyLook(m_activeFont, m_activeColor);
}

void HyperlinkLabel::applyLook(const QFont &font, const QColor &color)
{
    setFont(font);
    // The colour goes through the palette so that it shows with or without a style sheet. A disabled
    // label keeps the style's disabled colour.
    QPalette pal = palette();
    pal.setColor(QPalette::Active, QPalette::WindowText, color);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, color);
    setPalette(pal);
}

void HyperlinkLabel::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    applyLook(m_activeFont, m_activeColor);
    if (!m_hovered) {
        m_hovered = true;
        QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
    }
}

void HyperlinkLabel::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    applyLook(m_inactiveFont, m_inactiveColor);
    endHover();
}

// A label that disappears or is disabled under the mouse gets no leave event, yet the application's
// cursor must not stay a hand.
void HyperlinkLabel::hideEvent(QHideEvent *event)
{
    QLabel::hideEvent(event);
    if (m_hovered) {
        applyLook(m_inactiveFont, m_inactiveColor);
        endHover();
    }
}

void HyperlinkLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_hovered) {
        applyLook(m_inactiveFont, m_inactiveColor);
        endHover();
    }
}

void HyperlinkLabel::endHover()
{
    if (!m_hovered)
        return;
    m_hovered = false;
    QGuiApplication::restoreOverrideCursor();
}

void HyperlinkLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // Opening may ask a question or show a warning, whose event loop may destroy the label.
        const QPointer<HyperlinkLabel> self(this);
        const QString link = m_link; // the receivers must not see the member go with the label
        emit linkClicked(link);
        if (!self)
            return;
        emit pressed();
        if (!self)
            return;
    }
    QLabel::mousePressEvent(event);
}
