#pragma once

#include <QSignalSpy>

// Waits until the import or export that commands (TransferCommands, BrowserImportCommands) have under way, if
// any, has ended and told its end; false when it took longer than two minutes.
template<typename Commands> bool waitForTransferEnd(Commands *commands)
{
    if (!commands->isRunning())
        return true;
    QSignalSpy ended(commands, &Commands::finished);
    return ended.wait(120'000);
}
