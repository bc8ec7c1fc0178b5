#pragma once

#include <QObject>

class CollectionView;
class DescriptionPane;
class MainActions;
class QAction;
class QWidget;

// What follows the view as the focus and the selection move: the description pane shows the one selected entry,
// or the shown folder while the tree has the focus; Delete (the toolbar button and the Edit menu's entry) is
// enabled for what it would delete; the status text tells the selection. It also tells the view which pane is
// active, and opens the selected entry on Enter in the list.
class PaneStates : public QObject
{
    Q_OBJECT
public:
    PaneStates(CollectionView *view, MainActions *actions, DescriptionPane *description, QObject *parent);

    // The tree and the list's views: their focus makes the list active or not, Enter in a list view opens.
    void watch(QWidget *tree, const QList<QWidget *> &listViews);
    // Off while the window closes, so that nothing reacts to rows whose items are going away.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    // Enables the entries of the list's popup menu that apply to the selection, as it opens.
    void prepareListMenu(QAction *open, QAction *remove, QAction *properties);

signals:
    // Enter was pressed in the list.
    void openRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selectionChanged();
    void listEntered();
    void treeEntered();
    void folderShown();
    void updateDeleteCommand();

    CollectionView *m_view;
    MainActions *m_actions;
    DescriptionPane *m_description;
    QWidget *m_tree = nullptr;
    bool m_enabled = true;
};
