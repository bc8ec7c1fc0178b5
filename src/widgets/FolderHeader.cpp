#include "widgets/FolderHeader.h"

#include <QEvent>
#include <QLabel>
#include <QTreeWidgetItem>
#include <QVBoxLayout>

namespace {
constexpr int HeaderHeight = 30;
constexpr int BorderWidth = 3;
constexpr int ImageSize = 16;
const QPoint CaptionPos(25, 1);
const QPoint ImagePos(6, 5);
// The classic shade of grey text, used when the style's own is too light to carry white letters.
const QColor FallbackBandColor(0x80, 0x80, 0x80);
} // namespace

FolderHeader::FolderHeader(QWidget *parent)
    : QWidget(parent), m_panel(new QWidget(this)), m_captionLabel(new QLabel(m_panel)),
      m_imageLabel(new QLabel(m_panel))
{
    setFixedHeight(HeaderHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(BorderWidth, BorderWidth, BorderWidth, BorderWidth);
    layout->setSpacing(0);
    layout->addWidget(m_panel);

    m_panel->setObjectName(QStringLiteral("FolderHeaderPanel"));
    m_panel->setAutoFillBackground(true);
    updateBandColor();

    m_captionLabel->setObjectName(QStringLiteral("FolderHeaderCaption"));
    m_captionLabel->setTextFormat(Qt::PlainText); // folder names may hold '&' or markup
    QFont captionFont(QStringLiteral("Verdana"));
    captionFont.setStyleHint(QFont::SansSerif);
    captionFont.setPointSize(13);
    m_captionLabel->setFont(captionFont);
    QPalette captionPalette = m_captionLabel->palette();
    captionPalette.setColor(QPalette::WindowText, Qt::white);
    m_captionLabel->setPalette(captionPalette);
    m_captionLabel->move(CaptionPos);
    m_captionLabel->adjustSize();

    m_imageLabel->setObjectName(QStringLiteral("FolderHeaderImage"));
    m_imageLabel->setGeometry(QRect(ImagePos, QSize(ImageSize, ImageSize)));
}

QString FolderHeader::caption() const
{
    return m_captionLabel->text();
}

void FolderHeader::setCaption(const QString &caption)
{
    m_captionLabel->setText(caption);
    m_captionLabel->adjustSize();
}

QFont FolderHeader::captionFont() const
{
    return m_captionLabel->font();
}

void FolderHeader::setCaptionFont(const QFont &font)
{
    m_captionLabel->setFont(font);
    m_captionLabel->adjustSize();
}

void FolderHeader::setFolderImage(const QIcon &image)
{
    m_folderImage = image;
    if (m_imageType == itFolder)
        updateImage();
}

void FolderHeader::setHomeImage(const QIcon &image)
{
    m_homeImage = image;
    if (m_imageType == itHome)
        updateImage();
}

void FolderHeader::setImageType(ImageType type)
{
    m_imageType = type;
    updateImage();
}

void FolderHeader::ShowFolder(const QString &caption, bool isTopNode)
{
    setCaption(caption);
    setImageType(isTopNode ? itHome : itFolder);
}

void FolderHeader::ShowFolder(const QTreeWidgetItem *node)
{
    if (node)
        ShowFolder(node->text(0), node->parent() == nullptr);
}

void FolderHeader::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        updateBandColor();
}

// The band has the colour of grey (disabled) text, as long as white letters stay readable on it.
void FolderHeader::updateBandColor()
{
    QColor band = palette().color(QPalette::Disabled, QPalette::WindowText);
    if (band.lightness() > 150)
        band = FallbackBandColor;
    QPalette pal = m_panel->palette();
    pal.setColor(QPalette::Window, band);
    m_panel->setPalette(pal);
}

void FolderHeader::updateImage()
{
    const QIcon &image = m_imageType == itHome ? m_homeImage : m_folderImage;
    m_imageLabel->setPixmap(image.pixmap(QSize(ImageSize, ImageSize), devicePixelRatioF()));
}
