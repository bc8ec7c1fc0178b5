#include "mainwindow/DescriptionPane.h"

#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/HyperlinkLabel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

DescriptionPane::DescriptionPane(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DescriptionPane"));
    m_name = new QLabel(this);
    m_name->setObjectName(QStringLiteral("NameLabel"));
    m_name->setTextFormat(Qt::PlainText); // "&" shows as it is
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    m_url = new THyperlinkLabel(this);
    m_url->setObjectName(QStringLiteral("URLLabel"));
    m_description = new QPlainTextEdit(this);
    m_description->setObjectName(QStringLiteral("DescriptionMemo"));
    m_description->setReadOnly(true);
    m_description->setPlaceholderText(tr("No description"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    layout->addWidget(m_name);
    layout->addWidget(m_url);
    layout->addWidget(m_description, 1);
}

void DescriptionPane::ShowItemDetails(const LinkItem *item)
{
    m_current = item;
    m_name->setText(item ? TextCodec::toDisplay(item->Name) : QString());
    const QString url = item ? TextCodec::toDisplay(item->Url) : QString();
    m_url->setCaption(url);
    m_url->setLink(url);
    m_url->setVisible(!url.isEmpty());
    m_description->setPlainText(item ? TextCodec::toDisplay(item->Description) : QString());
}
