#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

// A label that looks like a web link. While the mouse is over it the label shows its hover look and the
// whole application shows the hand cursor; a left-button press emits linkClicked with Link and then pressed.
// The label opens nothing itself: its owner hands the link to the program's one way of opening links, which
// asks before it runs a program. The caption is the label's text, always shown as plain text: an ampersand is
// displayed as it is and never becomes a mnemonic.
class HyperlinkLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QString link READ link WRITE setLink)
    Q_PROPERTY(QFont activeFont READ activeFont WRITE setActiveFont)
    Q_PROPERTY(QColor activeColor READ activeColor WRITE setActiveColor)

public:
    explicit HyperlinkLabel(QWidget *parent = nullptr);
    explicit HyperlinkLabel(const QString &caption, QWidget *parent = nullptr);
    ~HyperlinkLabel() override;

    QString caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }

    // The target a left-button press asks to open; may be empty.
    QString link() const { return m_link; }
    void setLink(const QString &link) { m_link = link; }

    // The hover look: a copy of the label's font at construction, underlined, in pure red.
    QFont activeFont() const { return m_activeFont; }
    void setActiveFont(const QFont &font);
    QColor activeColor() const { return m_activeColor; }
    void setActiveColor(const QColor &color);

    // The look restored when the mouse leaves: a copy of the label's font at construction, underlined, in
    // pure blue. It cannot be changed from outside.
    QFont inactiveFont() const { return m_inactiveFont; }
    QColor inactiveColor() const { return m_inactiveColor; }

    // Whether the mouse is over the label, so the hover look and the hand cursor are in force.
    bool isHovered() const { return m_hovered; }

    // A buddy would turn the caption's ampersands into a mnemonic.
    void setBuddy(QWidget *buddy) = delete;

signals:
    // A left-button press asks for link to be opened, whatever it holds (even nothing).
    void linkClicked(const QString &link);
    // Emitted on a left-button press after linkClicked, unless a receiver of that destroyed the label.
    void pressed();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void applyLook(const QFont &font, const QColor &color);
    void endHover();

    QString m_link;
    QFont m_activeFont;
    QColor m_activeColor {0xff, 0x00, 0x00};
    QFont m_inactiveFont;
    QColor m_inactiveColor {0x00, 0x00, 0xff};
    bool m_hovered = false;
};
