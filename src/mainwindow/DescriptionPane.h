#pragma once

#include <QWidget>

class LinkItem;
class QLabel;
class QPlainTextEdit;
class THyperlinkLabel;

// The pane below the link list: the current item's name, its URL as a link, and its description.
class DescriptionPane : public QWidget
{
    Q_OBJECT
public:
    explicit DescriptionPane(QWidget *parent = nullptr);

    QLabel *NameLabel() const { return m_name; }
    THyperlinkLabel *URLLabel() const { return m_url; }
    QPlainTextEdit *DescriptionMemo() const { return m_description; }

    // Shows an item's name, URL and description; none clears the pane.
    void ShowItemDetails(const LinkItem *item);
    const LinkItem *CurrentItem() const { return m_current; }

private:
    QLabel *m_name;
    THyperlinkLabel *m_url;
    QPlainTextEdit *m_description;
    const LinkItem *m_current = nullptr;
};
