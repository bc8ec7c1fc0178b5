#pragma once

#include <QUrl>
#include <QWidget>

class HelpBook;
class QAction;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

// The built-in help viewer: the book's table of contents on the left, the topic on the right, and a toolbar
// with Back, Forward and Contents. Links between topics stay in the window; links to anything else are handed
// to the desktop.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(const HelpBook &book, QWidget *parent = nullptr);

    // The book's contents page.
    void showContents();
    // The topic of a help context number; a notice when the book has none.
    void showTopic(int contextNumber);
    // Shows a page of the book; the Back button returns to the page shown before.
    void showPage(const QUrl &page);
    // Shows a short notice in place of a topic, for a request the book cannot answer.
    void showNotice(const QString &text);

    QTextBrowser *browser() const { return m_browser; }
    QTreeWidget *contentsTree() const { return m_contents; }
    QAction *backAction() const { return m_back; }
    QAction *forwardAction() const { return m_forward; }
    QAction *homeAction() const { return m_home; }

private:
    void linkClicked(const QUrl &link);
    void pageChanged(const QUrl &page);

    const HelpBook &m_book;
    QUrl m_homePage;
    QTextBrowser *m_browser;
    QTreeWidget *m_contents;
    QAction *m_back;
    QAction *m_forward;
    QAction *m_home;
};
