#include "shell/HelpCommands.h"

#include "mainwindow/LinkOpener.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MessageBoxReporter.h"
#include "settings/Settings.h"
#include "shell/AboutBox.h"
#include "shell/BuiltInHelp.h"
#include "shell/Product.h"
#include "shell/TipOfTheDayDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

// Menus nest a few levels deep; the walk up never needs more.
constexpr int MaxMenuDepth = 16;

int helpContextOf(const QAction *action)
{
    return action ? action->property("helpContext").toInt() : 0;
}

// The menu or menu bar in which menu's own entry stands, the open one first.
QWidget *holderOf(QMenu *menu)
{
    QWidget *found = nullptr;
    for (QObject *object : menu->menuAction()->associatedObjects()) {
        auto *holder = qobject_cast<QWidget *>(object);
        if (holder == menu || !(qobject_cast<QMenu *>(holder) || qobject_cast<QMenuBar *>(holder)))
            continue;
        if (holder->isVisible())
            return holder;
        if (!found)
            found = holder;
    }
    if (!found && (qobject_cast<QMenu *>(menu->parentWidget()) || qobject_cast<QMenuBar *>(menu->parentWidget())))
        found = menu->parentWidget();
    return found;
}

bool isPlainF1(const QEvent *event)
{
    const auto *key = static_cast<const QKeyEvent *>(event);
    return key->key() == Qt::Key_F1 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

HelpCommands::HelpCommands(QWidget *window, MainActions *a, HelpSystem *help) : m_window(window), m_help(help)
{
    if (!m_help) {
        m_ownHelp = std::make_unique<BuiltInHelp>();
        m_help = m_ownHelp.get();
    }
    command(a->contents, &HelpCommands::showContents);
    command(a->helpButton, &HelpCommands::showContents);
    command(a->tipOfTheDay, &HelpCommands::showTipOfTheDay);
    command(a->productNews, &HelpCommands::openProductNews);
    command(a->sendFeedback, &HelpCommands::openFeedbackPage);
    command(a->homePage, &HelpCommands::openHomePage);
    command(a->about, &HelpCommands::showAbout);
    qApp->installEventFilter(this);
}

HelpCommands::~HelpCommands()
{
    qApp->removeEventFilter(this);
}

void HelpCommands::command(QAction *action, void (HelpCommands::*handler)())
{
    connect(action, &QAction::triggered, this, handler);
}

void HelpCommands::showContents()
{
    m_help->showContents();
}

void HelpCommands::showHelp(int context)
{
    if (context > 0)
        m_help->showTopic(context);
    else
        showContents();
}

void HelpCommands::showTipAtStart()
{
    if (Settings().GetShowTip())
        showTipOfTheDay();
}

void HelpCommands::showTipOfTheDay()
{
    // A store of our own: the window's may be gone by the time the dialog closes (the program can be ended from
    // the notification area meanwhile).
    Settings settings;
    TipOfTheDayDialog dialog(m_help, m_window);
    dialog.showTipBox()->setChecked(settings.GetShowTip());
    dialog.exec();
    if (!settings.SetShowTip(dialog.showTipBox()->isChecked()))
        MessageBoxReporter(m_window).reportError(QString(), settings.errorString());
}

void HelpCommands::showAbout()
{
    AboutBox box(m_help, m_window);
    box.exec();
}

void HelpCommands::openWebPage(const QString &page)
{
    LinkOpener::openLink(m_window, QLatin1String(Product::ProductSiteBase) + page);
}

void HelpCommands::openProductNews()
{
    openWebPage(QStringLiteral("News.php"));
}

void HelpCommands::openFeedbackPage()
{
    openWebPage(QStringLiteral("Feedback.php"));
}

void HelpCommands::openHomePage()
{
    openWebPage(QString());
}

int HelpCommands::MenuHelpContext(QWidget *menu)
{
    QAction *entry = nullptr;
    if (auto *popup = qobject_cast<QMenu *>(menu))
        entry = popup->activeAction();
    else if (auto *bar = qobject_cast<QMenuBar *>(menu))
        entry = bar->activeAction();
    QWidget *holder = menu;
    for (int depth = 0; depth < MaxMenuDepth && holder; ++depth) {
        if (const int context = helpContextOf(entry); context > 0)
            return context;
        auto *popup = qobject_cast<QMenu *>(holder);
        if (!popup)
            return 0;
        entry = popup->menuAction();
        holder = holderOf(popup);
    }
    return 0;
}

bool HelpCommands::belongsToWindow(const QWidget *widget) const
{
    for (; widget; widget = widget->parentWidget()) {
        if (widget == m_window)
            return true;
    }
    return false;
}

bool HelpCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !isPlainF1(event))
        return QObject::eventFilter(watched, event);

    // The key goes to the innermost open menu; a menu bar takes keys only while it is entered from the keyboard.
    QWidget *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu) {
        auto *bar = qobject_cast<QMenuBar *>(watched);
        if (bar && bar->activeAction())
            menu = bar;
    }
    if (!menu || !belongsToWindow(menu))
        return QObject::eventFilter(watched, event);

    const int context = MenuHelpContext(menu);
    // The help window takes the focus: the menus make way for it.
    for (int i = 0; i < MaxMenuDepth && QApplication::activePopupWidget(); ++i)
        QApplication::activePopupWidget()->close();
    if (auto *bar = qobject_cast<QMenuBar *>(menu))
        bar->setActiveAction(nullptr);
    showHelp(context);
    return true;
}
