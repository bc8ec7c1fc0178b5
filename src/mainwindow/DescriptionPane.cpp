#include "mainwindow/DescriptionPane.h"

#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/HyperlinkLabel.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>

namespace {
constexpr int StripHeight = 44;
constexpr int LocationHeight = 20;
constexpr int RightGap = 16;
} // namespace

DescriptionPane::DescriptionPane(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DescriptionPane"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    const auto caption = [this](const QString &text, int top) {
        auto *label = new QLabel(text, this);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->move(4, top);
        label->adjustSize();
        return label;
    };
    m_locationCaption = caption(tr("In:"), 44);
    m_placesCaption = caption(tr("Places:"), 44);
    const int captionWidth = std::max({caption(tr("Name:"), 4)->width(), caption(tr("URL:"), 24)->width(),
                                       m_locationCaption->width(), m_placesCaption->width()});
    // The values start 48 pixels in, or further when a larger font makes the captions wider.
    m_labelLeft = std::max(48, 4 + captionWidth + 6);
    m_name = new QLabel(this);
    m_name->setObjectName(QStringLiteral("NameLabel"));
    m_name->setTextFormat(Qt::PlainText); // "&" shows as it is
    m_name->move(m_labelLeft, 5);
    m_url = new HyperlinkLabel(this);
    m_url->setObjectName(QStringLiteral("URLLabel"));
    m_url->move(m_labelLeft, 23);
    m_location = new QLabel(this);
    m_location->setObjectName(QStringLiteral("LocationLabel"));
    m_location->setTextFormat(Qt::RichText);
    m_location->move(m_labelLeft, 45);
    connect(m_location, &QLabel::linkActivated, this, &DescriptionPane::locationClicked);
    m_location->hide(); // only search results name their folder
    m_locationCaption->hide();
    m_places = new QLabel(this);
    m_places->setObjectName(QStringLiteral("PlacesLabel"));
    m_places->setTextFormat(Qt::PlainText);
    m_places->hide(); // only groups of duplicates list their places
    m_placesCaption->hide();
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("descriptionEdit"));
    m_memo->setAccessibleName(tr("Description"));
    m_memo->setFrameShape(QFrame::NoFrame);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->installEventFilter(this);
    connect(m_memo, &QPlainTextEdit::textChanged, this, &DescriptionPane::onTextChanged);
    ShowItemDetails(nullptr);
}

void DescriptionPane::ShowItemDetails(LinkItem *item)
{
    m_current = item;
    m_showing = true;
    m_memo->setEnabled(item != nullptr);
    m_name->setText(item ? TextCodec::toDisplay(item->Name) : QString());
    const QString url = item ? TextCodec::toDisplay(item->Url) : QString();
    m_url->setCaption(url);
    m_url->setLink(url);
    m_memo->setPlainText(item ? TextCodec::toDisplay(item->Description) : QString());
    m_showing = false;
    m_urlShown = true;
    fitLabels();
    emit itemShown(item);
}

void DescriptionPane::follow(CollectionDocument *document)
{
    m_document = document;
    connect(document, &CollectionDocument::itemAboutToBeRemoved, this, &DescriptionPane::itemAboutToBeRemoved);
    connect(document, &CollectionDocument::itemsAboutToBeRemoved, this, [this](const std::vector<LinkItem *> &items) {
        for (const LinkItem *item : items)
            itemAboutToBeRemoved(item);
    });
    connect(document, &CollectionDocument::itemChanged, this,
            [this](LinkItem *item, CollectionDocument::Fields fields) {
                using Field = CollectionDocument::Field;
                if (item == m_current && !m_editing && (fields & (Field::Name | Field::Url | Field::Description)))
                    ShowItemDetails(item);
            });
}

void DescriptionPane::itemAboutToBeRemoved(const LinkItem *item)
{
    for (const LinkItem *walk = m_current; walk; walk = walk->Parent) {
        if (walk == item) {
            ShowItemDetails(nullptr);
            return;
        }
    }
}

void DescriptionPane::setUrlShown(bool shown)
{
    m_urlShown = shown;
    m_url->setVisible(shown && !m_url->caption().isEmpty());
}

void DescriptionPane::onTextChanged()
{
    if (m_showing || !m_current || !m_document)
        return;
    m_editing = true; // the pane already shows the text
    m_document->setDescription(m_current, TextCodec::fromDisplay(m_memo->toPlainText()));
    m_editing = false;
}

void DescriptionPane::setLocation(const QString &path)
{
    m_locationPath = path;
    m_location->setText(path.isEmpty() ? QString()
                                       : QStringLiteral("<a href=\"folder\">%1</a>").arg(path.toHtmlEscaped()));
    m_location->setToolTip(path.isEmpty() ? QString() : tr("Go to this folder"));
    m_location->setVisible(!path.isEmpty());
    m_locationCaption->setVisible(!path.isEmpty());
    fitLabels();
}

void DescriptionPane::setPlaces(const QStringList &places)
{
    m_places->setText(places.join(QLatin1Char('\n')));
    m_places->setVisible(!places.isEmpty());
    m_placesCaption->setVisible(!places.isEmpty());
    fitLabels();
}

void DescriptionPane::setLocationNote(const QString &note)
{
    if (m_locationPath.isEmpty() || note.isEmpty()) {
        setLocation(m_locationPath);
        return;
    }
    m_location->setText(QStringLiteral("<a href=\"folder\">%1</a> &mdash; %2")
                            .arg(m_locationPath.toHtmlEscaped(), note.toHtmlEscaped()));
    fitLabels();
}

void DescriptionPane::fitLabels()
{
    const int room = width() - m_labelLeft - RightGap;
    m_name->resize(std::max(0, room), m_name->sizeHint().height());
    m_url->adjustSize();
    if (room < m_url->width())
        m_url->resize(std::max(0, room), m_url->height());
    m_url->setVisible(m_urlShown && !m_url->caption().isEmpty());
    m_location->resize(std::max(0, room), m_location->sizeHint().height());
    int strip = StripHeight + (m_location->isHidden() ? 0 : LocationHeight);
    if (!m_places->isHidden()) {
        m_placesCaption->move(4, strip);
        m_places->move(m_labelLeft, strip + 1);
        m_places->resize(std::max(0, room), m_places->sizeHint().height());
        strip += m_places->height() + 4;
    }
    m_memo->setGeometry(0, strip, width(), std::max(0, height() - strip));
}

void DescriptionPane::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitLabels();
}

bool DescriptionPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_memo && event->type() == QEvent::FocusIn)
        emit memoEntered();
    else if (watched == m_memo && event->type() == QEvent::FocusOut)
        emit memoLeft();
    return QWidget::eventFilter(watched, event);
}
