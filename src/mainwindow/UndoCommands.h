#pragma once

#include <QObject>
#include <QString>

class CollectionDocument;
class CollectionView;
class LinkItem;
class QWidget;

// Edit > Undo and Redo: their captions name the next step, and an undo shows and selects what it brought
// back.
class UndoCommands : public QObject
{
    Q_OBJECT
public:
    UndoCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);

    void undo();
    void redo();

    // The captions of the two commands, naming the step each would take.
    static QString undoCaption(const CollectionDocument &document);
    static QString redoCaption(const CollectionDocument &document);

private:
    void show(LinkItem *item);

    CollectionDocument *m_document;
    CollectionView *m_view;
    QWidget *m_parent;
};
