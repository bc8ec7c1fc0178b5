#include "shell/HelpWindow.h"

#include "mainwindow/LinkOpener.h"
#include "shell/HelpBook.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

QUrl withoutFragment(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveFragment);
}

} // namespace

HelpWindow::HelpWindow(const HelpBook &book, QWidget *parent)
    : QWidget(parent), m_book(book), m_homePage(book.ContentsPage())
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("Quillmark Help"));
    setWindowIcon(Icons::help());
    resize(900, 620);

    m_contents = new QTreeWidget;
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setAccessibleName(tr("Help contents"));
    m_contents->setHeaderHidden(true);
    m_contents->setColumnCount(1);
    m_contents->setRootIsDecorated(true);
    m_contents->setIndentation(14);
    QList<QTreeWidgetItem *> parents;
    for (const HelpBook::Entry &entry : book.Contents()) {
        const int depth = std::min<int>(entry.depth, static_cast<int>(parents.size()));
        parents.resize(depth);
        auto *item = depth == 0 ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.title);
        item->setData(0, Qt::UserRole, entry.page);
        parents.append(item);
    }
    m_contents->expandAll();
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { showPage(item->data(0, Qt::UserRole).toUrl()); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { showPage(item->data(0, Qt::UserRole).toUrl()); });

    m_browser = new QTextBrowser;
    m_browser->setAccessibleName(tr("Help page"));
    m_browser->setObjectName(QStringLiteral("HelpTopic"));
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::linkClicked);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);

    auto *toolbar = new QToolBar;
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back = toolbar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("&Back"));
    m_back->setShortcut(QKeySequence::Back);
    m_back->setEnabled(false);
    m_forward = toolbar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("&Forward"));
    m_forward->setShortcut(QKeySequence::Forward);
    m_forward->setEnabled(false);
    m_home = toolbar->addAction(Icons::home(), tr("&Contents"));
    connect(m_back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_home, &QAction::triggered, this, [this] { showPage(m_homePage); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({290, 610});
    splitter->setChildrenCollapsible(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(splitter, 1);
}

void HelpWindow::showContents()
{
    showPage(m_homePage);
}

void HelpWindow::showTopic(int contextNumber)
{
    const QUrl topic = m_book.topicPage(contextNumber);
    if (topic.isEmpty())
        showNotice(tr("There is no help topic for context number %1.").arg(contextNumber));
    else
        showPage(topic);
}

void HelpWindow::showPage(const QUrl &page)
{
    if (page == m_browser->source())
        m_browser->reload();
    else
        m_browser->setSource(page);
}

void HelpWindow::showNotice(const QString &text)
{
    m_browser->setHtml(
        QStringLiteral("<h1>%1</h1><p>%2</p><p><a href=\"%3\">%4</a></p>")
            .arg(tr("Topic not found"), text.toHtmlEscaped(), m_homePage.toString(), tr("Go to the contents")));
    pageChanged(QUrl());
}

void HelpWindow::linkClicked(const QUrl &link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (target.scheme() == QLatin1String("qrc")) {
        showPage(target);
        return;
    }
    // Web pages and mail addresses belong to the desktop's programs.
    LinkOpener::openLink(this, link.toString());
}

void HelpWindow::pageChanged(const QUrl &page)
{
    // The contents follow the topic on show.
    const QSignalBlocker blocker(m_contents);
    m_contents->clearSelection();
    const QUrl shown = withoutFragment(page);
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        if (withoutFragment((*it)->data(0, Qt::UserRole).toUrl()) == shown) {
            m_contents->setCurrentItem(*it);
            m_contents->scrollToItem(*it);
            break;
        }
    }
}
