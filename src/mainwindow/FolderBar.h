#pragma once

#include <QWidget>

class FolderTreeView;
class QLabel;
class QToolButton;

// The folder bar on the left of the main window: the caption strip (titleStrip(), with its titleLabel() and
// closeButton()) above the folder tree, folderTree().
class FolderBar : public QWidget
{
    Q_OBJECT
public:
    explicit FolderBar(QWidget *parent = nullptr);

    QWidget *titleStrip() const { return m_coolBar; }
    QLabel *titleLabel() const { return m_label; }
    QToolButton *closeButton() const { return m_closeButton; }
    FolderTreeView *folderTree() const { return m_tree; }

    // Makes the caption strip line up with the link list's column header of height h.
    void fitToHeaderHeight(int h);

signals:
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Keeps the close button at the right end of the strip.
    void placeCloseButton();

    QWidget *m_coolBar;
    QLabel *m_label;
    QToolButton *m_closeButton;
    FolderTreeView *m_tree;
};
