#pragma once

#include "store/UrlKey.h"

#include <QString>

#include <optional>

class LinkItem;
class QWidget;

// What the import and export commands need of the main window.
class TransferHost
{
public:
    virtual ~TransferHost() = default;

    // The owner of the commands' dialogs.
    virtual QWidget *hostWindow() = 0;
    // The folder of the folder tree's selected node, or null when nothing is selected.
    virtual LinkItem *shownFolder() = 0;
    // Relists the selected node's folder after items were added to it (RefreshFolderView): refills the
    // list, counts two visits of the folder and rebuilds the node's child nodes.
    virtual void refreshShownFolder() = 0;
    // An import is about to fill the shown folder (refreshShownFolder follows it).
    virtual void importStarting() { }
    // Sets the status text and shows it as the hint of the window and its panes.
    virtual void setStatusText(const QString &text) = 0;
    // Keeps the collection as it is as today's backup, before an import changes it.
    virtual void keepBackup() { }
    // How to compare addresses when imports leave out the links the collection has; none when they keep all.
    virtual std::optional<UrlKeyOptions> knownLinksToSkip() { return std::nullopt; }
};
