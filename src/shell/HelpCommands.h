#pragma once

#include <QObject>

#include <memory>

class BuiltInHelp;
class HelpSystem;
class MainActions;
class QAction;
class QWidget;

// The main window's Help menu at work: "&Contents" and the toolbar's "Help", context help for the highlighted
// entry of an open menu (F1), "&Tip of the Day..." (showTipAtStart opens it at the first activation), the three
// web pages and "&About...". Created beside the main window by its owner; it gives the menu entries their
// commands and enables them.
class HelpCommands : public QObject
{
    Q_OBJECT
public:
    // window: the window whose menus hold actions' entries and which owns the dialogs. help: where help requests
    // go; none means the built-in help window, owned here.
    HelpCommands(QWidget *window, MainActions *actions, HelpSystem *help = nullptr);
    ~HelpCommands() override;

    HelpSystem *help() const { return m_help; }

    // "&Contents" (F1 while no menu is open) and the toolbar's "Help": the help file's default topic.
    void showContents();
    // A help request for a help context number: the help file at that topic (the contents for 0).
    void showHelp(int context);
    // The main window's first activation: the tip of the day, while "ShowTip" is on.
    void showTipAtStart();
    // "&Tip of the Day...": the tip dialog with the check box from "ShowTip", which it stores when the dialog closes.
    void showTipOfTheDay();
    // "&About...".
    void showAbout();
    // The web site's news page, feedback page and home page.
    void openProductNews();
    void openFeedbackPage();
    void openHomePage();

    // The help context number of the entry highlighted in menu (a QMenu or a QMenuBar): the entry's own number,
    // else the number of the nearest menu above it that has one; 0 when none has. With no entry highlighted, the
    // menu's own number counts.
    static int MenuHelpContext(QWidget *menu);

protected:
    // F1 while a menu of the main window is open asks for the highlighted entry's topic instead of the contents.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool belongsToWindow(const QWidget *widget) const;
    void openWebPage(const QString &page);
    void command(QAction *action, void (HelpCommands::*handler)());

    QWidget *m_window;
    std::unique_ptr<BuiltInHelp> m_ownHelp;
    HelpSystem *m_help;
};
