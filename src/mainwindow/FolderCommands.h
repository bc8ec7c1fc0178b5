#pragma once

#include <QObject>

class CollectionDocument;
class CollectionView;
class QWidget;

// The commands on the shown folder as a place: Up One Level and Rename.
class FolderCommands : public QObject
{
    Q_OBJECT
public:
    FolderCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);

    // Shows the folder above the shown one.
    void upOneLevel();
    // Renames the shown folder in place; never the root.
    void rename();

private:
    CollectionDocument *m_document;
    CollectionView *m_view;
};
