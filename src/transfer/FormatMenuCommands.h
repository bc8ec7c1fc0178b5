#pragma once

#include "formats/BookmarkFormat.h"

#include <QObject>

#include <memory>

class DialogPrompts;
class Prompts;
class TransferHost;

// The Import and Export entries of the other bookmark formats (browser HTML, Opera hotlist, XBEL,
// Favorites export, printable HTML page), in the manner of the native file commands: a file dialog
// with the format's title, filter and default extension, progress with Cancel for long runs, the
// shown folder relisted after an import, and what was added or skipped told to the user.
class FormatMenuCommands : public QObject
{
    Q_OBJECT
public:
    explicit FormatMenuCommands(TransferHost *host, QObject *parent = nullptr);
    ~FormatMenuCommands() override;

    // Replaces the dialogs and message boxes (not owned); null brings the real ones back.
    void setPrompts(Prompts *prompts);
    void setProgressDelay(int milliseconds) { m_progressDelay = milliseconds; }

    void importFormat(BookmarkFormat format);
    void exportFormat(BookmarkFormat format);

private:
    TransferHost *m_host;
    std::unique_ptr<DialogPrompts> m_dialogs;
    Prompts *m_prompts;
    int m_progressDelay;
};
