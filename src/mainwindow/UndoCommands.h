#pragma once

#include "mainwindow/MainPanes.h"

#include <QObject>

// Edit > Undo and Redo: their captions name the next step, and an undo shows and selects what it brought
// back.
class UndoCommands : public QObject
{
    Q_OBJECT
public:
    UndoCommands(const MainPanes &panes, QObject *parent);

    void undo();
    void redo();

private:
    void updateActions();
    void show(LinkItem *item);

    MainPanes m_panes;
};
