#include "mainwindow/NewItemDialog.h"

#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

constexpr QSize MinimumClientSize(353, 256);
constexpr int FieldWidth = 321;
constexpr int FieldChars = 45;
constexpr int DescriptionHeight = 65;

bool isBlank(QChar c)
{
    return c.unicode() <= 32;
}

QLabel *fieldLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

NewItemDialog::NewItemDialog(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("NewItemDialog"));
    setWindowTitle(QCoreApplication::translate("NewItemDialog", "New URL"));

    auto *bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::StyledPanel);
    bevel->setFrameShadow(QFrame::Sunken);

    m_name = new QLineEdit(bevel);
    m_name->setObjectName(QStringLiteral("ItemName"));
    m_url = new QLineEdit(bevel);
    m_url->setObjectName(QStringLiteral("ItemURL"));
    m_description = new QPlainTextEdit(bevel);
    m_description->setObjectName(QStringLiteral("ItemDescription"));
    m_description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_description->setTabChangesFocus(true);
    m_description->setMinimumHeight(DescriptionHeight);
    // Wide enough for a usual URL, also with a large font.
    const int fieldWidth = std::max(FieldWidth, m_name->fontMetrics().averageCharWidth() * FieldChars);
    for (QWidget *field : std::array<QWidget *, 3> {m_name, m_url, m_description})
        field->setMinimumWidth(fieldWidth);

    auto *fields = new QVBoxLayout(bevel);
    fields->addWidget(fieldLabel(QCoreApplication::translate("NewItemDialog", "Name:"), m_name, bevel));
    fields->addWidget(m_name);
    fields->addSpacing(4);
    fields->addWidget(fieldLabel(QCoreApplication::translate("NewItemDialog", "URL:"), m_url, bevel));
    fields->addWidget(m_url);
    fields->addSpacing(4);
    fields->addWidget(fieldLabel(QCoreApplication::translate("NewItemDialog", "Description:"), m_description, bevel));
    fields->addWidget(m_description, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(QCoreApplication::translate("NewItemDialog", "OK"));
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_ok->setDefault(true);
    m_ok->setEnabled(false);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    m_cancel->setText(QCoreApplication::translate("NewItemDialog", "Cancel"));
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bevel, 1);
    layout->addWidget(buttons);

    setTabOrder(m_name, m_url);
    setTabOrder(m_url, m_description);

    connect(m_name, &QLineEdit::textChanged, this, &NewItemDialog::updateOkButton);
    connect(m_url, &QLineEdit::textChanged, this, &NewItemDialog::updateOkButton);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    setMinimumSize(minimumSizeHint().expandedTo(MinimumClientSize));
    resize(minimumSize());
    m_name->setFocus();
}

QString NewItemDialog::name() const
{
    return m_name->text();
}

QString NewItemDialog::url() const
{
    return m_url->text();
}

QString NewItemDialog::description() const
{
    return m_description->toPlainText();
}

std::unique_ptr<LinkItem> NewItemDialog::CreateItem() const
{
    auto item = LinkItem::MakeLink(TextCodec::fromDisplay(name()), TextCodec::fromDisplay(url()));
    item->Description = TextCodec::fromDisplay(description());
    return item;
}

QString NewItemDialog::Trimmed(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text.at(first)))
        ++first;
    while (last > first && isBlank(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

QString NewItemDialog::UrlFromClipboardText(const QString &text)
{
    QString word = Trimmed(text);
    // The first word ends at the first blank. Line breaks and tabs end it too: a URL never holds them,
    // and a single-line field must not receive them.
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (isBlank(word.at(i))) {
            word = Trimmed(word.left(i + 1));
            break;
        }
    }
    static const std::array<QLatin1String, 7> markers = {
        QLatin1String("http://"), QLatin1String("www."),    QLatin1String("ftp://"),  QLatin1String("file://"),
        QLatin1String("mailto:"), QLatin1String("telnet:"), QLatin1String("gopher:"),
    };
    for (const QLatin1String &marker : markers) {
        if (word.contains(marker, Qt::CaseSensitive))
            return word;
    }
    return {};
}

bool NewItemDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        takeUrlFromClipboard();
    return QDialog::event(event);
}

void NewItemDialog::updateOkButton()
{
    m_ok->setEnabled(!Trimmed(m_name->text()).isEmpty() && !Trimmed(m_url->text()).isEmpty());
}

void NewItemDialog::takeUrlFromClipboard()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QString url = UrlFromClipboardText(clipboard ? clipboard->text() : QString());
    if (!url.isEmpty())
        m_url->setText(url);
}
