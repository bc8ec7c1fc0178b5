#pragma once

#include <QString>

// Where the program's help requests go. A request names a help file and either asks for the file's default topic
// or for the topic of a help context number; what shows the topic is up to the implementation (the program uses
// its built-in help window, tests record the requests).
class HelpSystem
{
public:
    enum Command {
        DisplayTopic = 0, // the file's default topic; data is 0
        HelpContext = 15, // the topic of the context number given as data
    };

    virtual ~HelpSystem() = default;

    // helpFile is the full path of the help file. Nothing is reported back: a request that cannot be served
    // leaves it to the implementation to say so.
    virtual void HtmlHelp(const QString &helpFile, Command command, int data) = 0;

    // The program's help file and the tip dialog's help file, in the installation folder.
    static QString MainHelpFile();
    static QString TipsHelpFile();

    static constexpr const char *MainHelpFileName = "Quillmark.chm";
    static constexpr const char *TipsHelpFileName = "Ravelin.chm";
};
