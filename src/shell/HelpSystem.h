#pragma once

// Where the program's help requests go: the table of contents, or the topic of a help context number. What shows
// them is up to the implementation (the program uses its built-in help window, tests record the requests).
// Nothing is reported back: a request that cannot be served leaves it to the implementation to say so.
class HelpSystem
{
public:
    virtual ~HelpSystem() = default;

    // The help's table of contents.
    virtual void showContents() = 0;
    // The topic of a help context number.
    virtual void showTopic(int contextNumber) = 0;
};
