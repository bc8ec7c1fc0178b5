#pragma once

#include "transfer/ImportProgress.h"
#include "transfer/Prompts.h"

#include <QObject>

#include <memory>

class DialogPrompts;
class LinkItem;
class TransferHost;

// The File menu's native link file export and import and the Internet Explorer Favorites import, on
// the folder the main window shows. The main window connects its menu entries to the handlers.
class TransferCommands : public QObject
{
    Q_OBJECT
public:
    explicit TransferCommands(TransferHost *host, QObject *parent = nullptr);
    ~TransferCommands() override;

    // Replaces the dialogs and message boxes (not owned); null brings the real ones back.
    void setPrompts(Prompts *prompts);
    // How long an import runs before its progress dialog shows.
    void setProgressDelay(int milliseconds) { m_progressDelay = milliseconds; }

    static FileDialogSettings exportDialogSettings();
    static FileDialogSettings importDialogSettings();
    // The status text's count form: the folder's number of children followed by " objects".
    static QString objectCount(const LinkItem &folder);

public slots:
    // File > Export > Quillmark File...: writes the shown folder with everything below it to a file.
    void exportQuillmarkFile();
    // File > Import > Quillmark File...: adds the children stored in a file to the shown folder.
    void importQuillmarkFile();
    // File > Import > Internet Explorer Favorites...: adds a Favorites folder's contents to the shown folder.
    void importFavorites();

private:
    void importNativeFile(const QString &path, LinkItem &target);
    void reportCancelled(int folders, int links);
    void setCountStatus();

    TransferHost *m_host;
    std::unique_ptr<DialogPrompts> m_dialogs;
    Prompts *m_prompts;
    int m_progressDelay = ImportProgress::DefaultDelayMs;
};
