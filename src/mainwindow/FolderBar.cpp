#include "mainwindow/FolderBar.h"

#include "mainwindow/FolderTreeView.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

FolderBar::FolderBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("folderBar"));
    setMinimumWidth(100);

    m_coolBar = new QWidget(this);
    m_coolBar->setObjectName(QStringLiteral("LinksCoolBar"));
    m_coolBar->setFixedHeight(22);
    m_coolBar->setAutoFillBackground(true);
    m_coolBar->installEventFilter(this);
    m_label = new QLabel(tr("Folders"), m_coolBar);
    m_label->setObjectName(QStringLiteral("ExplorerBarLabel"));
    m_label->adjustSize();
    m_closeButton = new QToolButton(m_coolBar);
    m_closeButton->setObjectName(QStringLiteral("CloseLinksFolderButton"));
    m_closeButton->setAccessibleName(tr("Close Bar"));
    m_closeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setFixedSize(16, 16);
    m_closeButton->setIconSize(QSize(10, 10));
    m_closeButton->setToolTip(tr("Close"));
    m_closeButton->setStatusTip(tr("Close Bar"));
    connect(m_closeButton, &QToolButton::clicked, this, &FolderBar::closeRequested);

    m_tree = new FolderTreeView(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_coolBar);
    layout->addWidget(m_tree, 1);
    fitToHeaderHeight(24);
}

void FolderBar::fitToHeaderHeight(int h)
{
    m_coolBar->setFixedHeight(std::max(h - 2, m_label->height()));
    const int d = (h - m_label->height()) / 2;
    m_label->move(d, d);
    m_closeButton->move(m_closeButton->x(), (h - m_closeButton->height()) / 2 - 1);
    placeCloseButton();
}

void FolderBar::placeCloseButton()
{
    const int top = m_closeButton->y();
    m_closeButton->move(m_coolBar->width() - m_closeButton->width() - top - 1, top);
}

bool FolderBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_coolBar && event->type() == QEvent::Resize)
        placeCloseButton();
    return QWidget::eventFilter(watched, event);
}
