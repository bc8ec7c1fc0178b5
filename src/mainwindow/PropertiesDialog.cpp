#include "mainwindow/PropertiesDialog.h"

#include "store/LinkItem.h"
#include "store/TextCodec.h"
#include "widgets/Icons.h"
#include "widgets/MessageBoxes.h"
#include "widgets/PlainText.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

constexpr QSize MinimumClientSize(371, 367);
constexpr int IconSize = 32;
constexpr int FieldChars = 36;

QLabel *valueLabel(const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText); // item names may hold anything, markup included
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A path on one line, cut in the middle when it is wider than the label (the whole path is then the tool
// tip), so that a deep or long-named item does not stretch the dialog.
class PathLabel : public QLabel
{
public:
    explicit PathLabel(QWidget *parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip)
            return QLabel::event(event);
        if (shownText() != text())
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), PlainText::toolTip(text()), this);
        else
            QToolTip::hideText();
        return true;
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shownText(),
                              foregroundRole());
    }

private:
    QString shownText() const { return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width()); }
};

QFrame *separator(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// A window title shows "[*]" only when it is doubled; otherwise it is the modified-state placeholder.
QString literalTitle(QString text)
{
    return text.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

// A field the user left as it was shown keeps its stored bytes, so that a text stored in an older
// encoding is not rewritten just because the dialog was confirmed.
void storeText(ItemText &field, const QString &typed, const QString &shown)
{
    if (typed != shown)
        field = TextCodec::fromDisplay(typed);
}

} // namespace

PropertiesDialog::PropertiesDialog(LinkItem *item, QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::WindowStaysOnTopHint),
      m_item(item)
{
    setObjectName(QStringLiteral("PropertiesDialog"));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    m_pages->addTab(createGeneralPage(), QCoreApplication::translate("PropertiesDialog", "General"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(QCoreApplication::translate("PropertiesDialog", "OK"));
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_ok->setDefault(true);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    m_cancel->setText(QCoreApplication::translate("PropertiesDialog", "Cancel"));
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons);

    setTabOrder(m_name, m_url);
    setTabOrder(m_url, m_description);
    setTabOrder(m_description, m_rating);
    setTabOrder(m_rating, m_clearVisits);

    connect(m_clearVisits, &QPushButton::clicked, this, &PropertiesDialog::clearVisits);
    connect(buttons, &QDialogButtonBox::accepted, this, &PropertiesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    showItem();
    // The keyboard starts at the first field, as in the other dialogs.
    if (m_name->isEnabled())
        m_name->setFocus();

    setMinimumSize(minimumSizeHint().expandedTo(MinimumClientSize));
    resize(minimumSize());
}

QWidget *PropertiesDialog::createGeneralPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("GeneralPage"));

    m_icon = new QLabel(page);
    m_icon->setObjectName(QStringLiteral("Icon"));
    m_icon->setFixedSize(IconSize, IconSize);
    m_name = new QLineEdit(page);
    m_name->setAccessibleName(QCoreApplication::translate("PropertiesDialog", "Name"));
    m_name->setObjectName(QStringLiteral("ItemName"));

    m_type = valueLabel(QStringLiteral("ItemType"), page);
    m_location = new PathLabel(page);
    m_location->setObjectName(QStringLiteral("ItemLocation"));
    m_contentsCaption = new QLabel(page);
    m_contentsCaption->setObjectName(QStringLiteral("contentsCaption"));
    m_contents = valueLabel(QStringLiteral("ItemContaints"), page);
    m_url = new QLineEdit(page);
    m_url->setObjectName(QStringLiteral("ItemURL"));
    // The fields keep a usable width when the font is large; the dialog grows with them.
    const int fieldWidth = m_name->fontMetrics().averageCharWidth() * FieldChars;
    m_name->setMinimumWidth(fieldWidth);
    m_url->setMinimumWidth(fieldWidth);

    m_description = new QPlainTextEdit(page);
    m_description->setObjectName(QStringLiteral("ItemDescription"));
    m_description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_description->setTabChangesFocus(true);

    m_rating = new QComboBox(page);
    m_rating->setObjectName(QStringLiteral("ratingBox"));
    m_rating->addItems({QStringLiteral("(None)"), QCoreApplication::translate("PropertiesDialog", "1- Bad"),
                        QCoreApplication::translate("PropertiesDialog", "2- Poor"),
                        QCoreApplication::translate("PropertiesDialog", "3- Average"),
                        QCoreApplication::translate("PropertiesDialog", "4- Good"),
                        QCoreApplication::translate("PropertiesDialog", "5- Excellent")});

    m_visits = valueLabel(QStringLiteral("ItemVisits"), page);
    m_clearVisits = new QPushButton(QCoreApplication::translate("PropertiesDialog", "&Clear Visits"), page);
    m_clearVisits->setObjectName(QStringLiteral("clearVisitsButton"));

    auto *grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(8);
    int row = 0;
    grid->addWidget(m_icon, row, 0);
    grid->addWidget(m_name, row++, 1);
    grid->addWidget(separator(page), row++, 0, 1, 2);
    const auto addRow = [&](const QString &caption, QWidget *value) {
        auto *label = new QLabel(caption, page);
        label->setBuddy(value);
        grid->addWidget(label, row, 0);
        grid->addWidget(value, row++, 1);
    };
    addRow(QCoreApplication::translate("PropertiesDialog", "Type:"), m_type);
    addRow(QCoreApplication::translate("PropertiesDialog", "Location:"), m_location);
    grid->addWidget(m_contentsCaption, row, 0);
    grid->addWidget(m_contents, row, 1);
    grid->addWidget(m_url, row++, 1);
    grid->addWidget(separator(page), row++, 0, 1, 2);
    addRow(QCoreApplication::translate("PropertiesDialog", "Description:"), m_description);
    grid->itemAtPosition(row - 1, 0)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->setRowStretch(row - 1, 1);
    addRow(QCoreApplication::translate("PropertiesDialog", "Rating:"), m_rating);
    // A list box tells its choice, not what it is for.
    m_rating->setAccessibleName(QCoreApplication::translate("PropertiesDialog", "Rating"));
    grid->addWidget(separator(page), row++, 0, 1, 2);

    auto *visitsRow = new QHBoxLayout;
    visitsRow->addWidget(m_visits, 1);
    visitsRow->addWidget(m_clearVisits);
    grid->addWidget(new QLabel(QCoreApplication::translate("PropertiesDialog", "Visits:"), page), row, 0);
    grid->addLayout(visitsRow, row++, 1);

    m_rating->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    grid->setAlignment(m_rating, Qt::AlignLeft);
    return page;
}

QString PropertiesDialog::Location(const LinkItem &item)
{
    QStringList names;
    for (const LinkItem *step = &item; step; step = step->Parent)
        names.prepend(TextCodec::toDisplay(step->Name));
    return names.join(QLatin1Char('\\'));
}

void PropertiesDialog::showItem()
{
    const LinkItem &item = *m_item;
    m_shownName = TextCodec::toDisplay(item.Name);
    m_shownUrl = TextCodec::toDisplay(item.Url);

    setWindowTitle(literalTitle(m_shownName + QStringLiteral(" Properties")));
    m_name->setText(m_shownName);
    m_name->setEnabled(item.Parent != nullptr);
    // A rating outside the list's range (from a damaged file) selects nothing and stays as stored.
    m_rating->setCurrentIndex(item.Rating < m_rating->count() ? item.Rating : -1);

    const bool folder = item.isFolder();
    const QIcon icon = folder ? Icons::folder() : Icons::link();
    m_icon->setPixmap(icon.pixmap(QSize(IconSize, IconSize), devicePixelRatioF()));
    m_type->setText(folder ? QCoreApplication::translate("PropertiesDialog", "Folder")
                           : QCoreApplication::translate("PropertiesDialog", "Link"));
    m_contentsCaption->setText(folder ? QCoreApplication::translate("PropertiesDialog", "Containts:")
                                      : QCoreApplication::translate("PropertiesDialog", "URL:"));
    m_contentsCaption->setBuddy(folder ? nullptr : m_url);
    if (folder) {
        const ItemList::Kinds kinds = item.Children.CountKinds();
        m_contents->setText(QCoreApplication::translate("PropertiesDialog", "%1 Links, %2 Folders")
                                .arg(kinds.links)
                                .arg(kinds.folders));
    } else {
        m_url->setText(m_shownUrl);
    }
    m_contents->setVisible(folder);
    m_url->setVisible(!folder);

    m_visits->setText(QString::number(item.Visits));
    m_location->setText(Location(item));

    m_description->setPlainText(TextCodec::toDisplay(item.Description));
    m_shownDescription = m_description->toPlainText();
}

void PropertiesDialog::clearVisits()
{
    m_item->Visits = 0;
    m_item->LastVisit = 0.0;
    m_visits->setText(QStringLiteral("0"));
}

void PropertiesDialog::accept()
{
    if (m_name->text().contains(QLatin1Char('\\'))) {
        MessageBoxes::error(this, QCoreApplication::translate("PropertiesDialog", "ERROR"),
                            QCoreApplication::translate(
                                "PropertiesDialog", "An item name cannot contain any of the following characters: \\"));
        m_name->setFocus();
        return;
    }
    storeFields();
    QDialog::accept();
}

void PropertiesDialog::storeFields()
{
    LinkItem &item = *m_item;
    storeText(item.Name, m_name->text(), m_shownName);
    if (!item.isFolder())
        storeText(item.Url, m_url->text(), m_shownUrl);
    storeText(item.Description, m_description->toPlainText(), m_shownDescription);
    if (m_rating->currentIndex() >= 0)
        item.Rating = static_cast<std::uint8_t>(m_rating->currentIndex());
}
