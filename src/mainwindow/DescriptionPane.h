#pragma once

#include <QStringList>
#include <QWidget>

class CollectionDocument;
class LinkItem;
class QLabel;
class QPlainTextEdit;
class HyperlinkLabel;

// The pane below the link list: a strip with the current item's name and its URL as a link, above
// its description, which is edited in place: every change goes into the item through the document.
class DescriptionPane : public QWidget
{
    Q_OBJECT
public:
    explicit DescriptionPane(QWidget *parent = nullptr);

    QLabel *nameLabel() const { return m_name; }
    HyperlinkLabel *urlLabel() const { return m_url; }
    QPlainTextEdit *descriptionEdit() const { return m_memo; }

    // Edits go through document, and the pane follows its changes: an item about to be destroyed is no
    // longer shown, and the shown item's new name, URL or description show at once.
    void follow(CollectionDocument *document);

    // Shows an item's name, URL and description, or empties and disables the pane for none.
    void ShowItemDetails(LinkItem *item);
    LinkItem *CurrentItem() const { return m_current; }
    // The URL label shows only for one selected entry; the list decides.
    void setUrlShown(bool shown);
    // For search results and all bookmarks: the folder that holds the item, as a link that goes there;
    // an empty path hides the line.
    void setLocation(const QString &path);
    QLabel *locationLabel() const { return m_location; }
    // For a group of duplicates: the folder of each of its links, one a line; none hides the list.
    void setPlaces(const QStringList &places);
    QLabel *placesLabel() const { return m_places; }
    // A line of plain text after the location (a link check's finding); setLocation clears it.
    void setLocationNote(const QString &note);

signals:
    // The description editor got or lost the keyboard focus.
    void memoEntered();
    void memoLeft();
    // ShowItemDetails showed this item, or nothing.
    void itemShown(LinkItem *item);
    // The location link was clicked.
    void locationClicked();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onTextChanged();
    void itemAboutToBeRemoved(const LinkItem *item);
    // Keeps the labels inside the pane: 16 pixels short of its right edge.
    void fitLabels();

    QLabel *m_name;
    HyperlinkLabel *m_url;
    QLabel *m_locationCaption;
    QLabel *m_location;
    QLabel *m_placesCaption;
    QLabel *m_places;
    QString m_locationPath;
    QPlainTextEdit *m_memo;
    LinkItem *m_current = nullptr;
    CollectionDocument *m_document = nullptr;
    bool m_showing = false;
    bool m_editing = false;
    bool m_urlShown = true;
    int m_labelLeft = 48;
};
