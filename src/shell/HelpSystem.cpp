#include "shell/HelpSystem.h"

#include "platform/Paths.h"

QString HelpSystem::MainHelpFile()
{
    return platform::installPath() + QLatin1String(MainHelpFileName);
}

QString HelpSystem::TipsHelpFile()
{
    return platform::installPath() + QLatin1String(TipsHelpFileName);
}
