#pragma once

#include <QIcon>
#include <QWidget>

class QLabel;
class QTreeWidgetItem;

// The strip above the link list: the shown folder's name in white on a dark band, with a home picture for
// the top folder and a folder picture for every other folder. 30 pixels high, a 3-pixel border around the
// band; the parent's layout puts it at the top.
class FolderHeader : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QFont captionFont READ captionFont WRITE setCaptionFont)
    Q_PROPERTY(QIcon folderImage READ folderImage WRITE setFolderImage)
    Q_PROPERTY(QIcon homeImage READ homeImage WRITE setHomeImage)
    Q_PROPERTY(ImageType imageType READ imageType WRITE setImageType)

public:
    enum ImageType { itHome, itFolder };
    Q_ENUM(ImageType)

    explicit FolderHeader(QWidget *parent = nullptr);

    QString caption() const;
    void setCaption(const QString &caption);

    // The caption's font: Verdana (or the system's sans-serif face where Verdana is missing), 13 points.
    QFont captionFont() const;
    void setCaptionFont(const QFont &font);

    // Shown when imageType() is itFolder; empty at first.
    QIcon folderImage() const { return m_folderImage; }
    void setFolderImage(const QIcon &image);
    // Shown when imageType() is itHome; empty at first.
    QIcon homeImage() const { return m_homeImage; }
    void setHomeImage(const QIcon &image);

    ImageType imageType() const { return m_imageType; }
    void setImageType(ImageType type);

    // Shows a folder of the tree: its caption, with the home picture when it is the top node and the folder
    // picture otherwise.
    void ShowFolder(const QString &caption, bool isTopNode);
    // The same for a tree node: column 0 is its caption, a node without a parent is a top node.
    void ShowFolder(const QTreeWidgetItem *node);

protected:
    void changeEvent(QEvent *event) override;

private:
    void updateBandColor();
    void updateImage();

    QWidget *m_panel;
    QLabel *m_captionLabel;
    QLabel *m_imageLabel;
    QIcon m_folderImage;
    QIcon m_homeImage;
    ImageType m_imageType = itFolder;
};
