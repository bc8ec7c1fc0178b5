#include "transfer/LongCommands.h"

LongCommands &LongCommands::instance()
{
    static LongCommands commands;
    return commands;
}

void LongCommands::cancelAll()
{
    if (m_running == 0)
        return;
    m_cancelRequested = true;
    emit cancelling();
}

LongCommands::Guard::Guard()
{
    ++instance().m_running;
}

LongCommands::Guard::~Guard()
{
    LongCommands &commands = instance();
    if (--commands.m_running > 0)
        return;
    commands.m_cancelRequested = false;
    emit commands.allEnded();
}
