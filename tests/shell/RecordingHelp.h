#pragma once

#include "shell/HelpSystem.h"

#include <QFileInfo>
#include <QList>
#include <QString>

// Takes the place of the help window and keeps every request.
class RecordingHelp : public HelpSystem
{
public:
    struct Request
    {
        QString file; // the help file's name, without its folder
        QString folder; // the folder, with its trailing separator
        Command command;
        int data;
    };

    void HtmlHelp(const QString &helpFile, Command command, int data) override
    {
        const QFileInfo info(helpFile);
        requests.append({info.fileName(), helpFile.left(helpFile.size() - info.fileName().size()), command, data});
    }

    QList<Request> requests;
};
