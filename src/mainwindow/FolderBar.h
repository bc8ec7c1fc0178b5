#pragma once

#include <QWidget>

class FolderTreeView;
class QLabel;
class QToolButton;

// The folder bar on the left of the main window: the caption strip (`LinksCoolBar`, with the label
// `ExplorerBarLabel` and the close button `CloseLinksFolderButton`) above the folder tree `LinksTree`.
class FolderBar : public QWidget
{
    Q_OBJECT
public:
    explicit FolderBar(QWidget *parent = nullptr);

    QWidget *LinksCoolBar() const { return m_coolBar; }
    QLabel *ExplorerBarLabel() const { return m_label; }
    QToolButton *CloseLinksFolderButton() const { return m_closeButton; }
    FolderTreeView *LinksTree() const { return m_tree; }

    // Makes the caption strip line up with the link list's column header of height h.
    void fitToHeaderHeight(int h);

signals:
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Keeps the close button at the right end of the strip.
    void LinksCoolBarResize();

    QWidget *m_coolBar;
    QLabel *m_label;
    QToolButton *m_closeButton;
    FolderTreeView *m_tree;
};
