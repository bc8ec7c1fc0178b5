#pragma once

#include "shell/HelpSystem.h"

#include <QList>

// Takes the place of the help window and keeps every request: the topic's context number, or Contents.
class RecordingHelp : public HelpSystem
{
public:
    static constexpr int Contents = -1;

    void showContents() override { requests.append(Contents); }
    void showTopic(int contextNumber) override { requests.append(contextNumber); }

    QList<int> requests;
};
