#include "mainwindow/FolderCommands.h"

#include "mainwindow/CollectionView.h"
#include "store/LinkItem.h"

#include <QWidget>

FolderCommands::FolderCommands(CollectionDocument *document, CollectionView *view, QWidget *parent)
    : QObject(parent), m_document(document), m_view(view)
{
}

void FolderCommands::upOneLevel()
{
    const LinkItem *folder = m_view->folder();
    if (folder && folder->Parent)
        m_view->showFolder(folder->Parent);
}

void FolderCommands::rename()
{
    LinkItem *folder = m_view->folder();
    if (folder && folder->Parent)
        m_view->rename(folder);
}
