#pragma once

#include "mainwindow/CollectionView.h"
#include "mainwindow/FolderListView.h"
#include "mainwindow/LinkCheckCommands.h"
#include "mainwindow/LinkListPane.h"
#include "mainwindow/MainActions.h"
#include "store/CollectionDocument.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

// The main window's menu bar and toolbar without the window: a plain window with the link list, its pane, the
// actions and the link check's entries, over no collection. The link check reads its side file beside the data
// file: point XDG_DATA_HOME at a folder of the test's own first.
class MenuWindow : public QMainWindow
{
public:
    MenuWindow()
        : view(&document, this), list(&view, this), listPane(&list, this, this), actions(this, &listPane),
          linkChecks(&document, &view, this), toolbar(new QToolBar(this))
    {
        setCentralWidget(&list);
        actions.buildMenus(menuBar());
        actions.addLinkCheckEntries({linkChecks.checkLinksAction(), linkChecks.updateAddressAction(),
                                     linkChecks.updateAllAddressesAction(), linkChecks.deleteBrokenAction()},
                                    linkChecks.resultsAction());
        actions.buildToolbar(toolbar);
        addToolBar(toolbar);
    }

    CollectionDocument document {nullptr};
    CollectionView view;
    FolderListView list;
    LinkListPane listPane;
    MainActions actions;
    LinkCheckCommands linkChecks;
    QToolBar *toolbar;
};
