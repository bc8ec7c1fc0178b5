#pragma once

#include <QDialog>

class LinkItem;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// The properties of one folder or link: name, URL, description and rating can be edited; type,
// location, contents and visits are shown. The dialog works on the live item: "&Clear Visits" resets
// the visit data at once, and OK writes the edited fields back (a name holding a backslash is refused
// with a message, and the dialog stays open). Cancel leaves the item as it is.
//
// Use: construct with the item and the main window as parent, exec(); on QDialog::Accepted the item
// has been updated and the caller refreshes what shows it.
class PropertiesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PropertiesDialog(LinkItem *item, QWidget *parent = nullptr);

    LinkItem *item() const { return m_item; }

    QTabWidget *pages() const { return m_pages; }
    QLabel *iconLabel() const { return m_icon; }
    QLineEdit *nameEdit() const { return m_name; }
    QLabel *typeLabel() const { return m_type; }
    QLabel *locationLabel() const { return m_location; }
    QLabel *contentsCaption() const { return m_contentsCaption; }
    QLabel *contentsLabel() const { return m_contents; }
    QLineEdit *urlEdit() const { return m_url; }
    QPlainTextEdit *descriptionEdit() const { return m_description; }
    QComboBox *ratingBox() const { return m_rating; }
    QLabel *visitsLabel() const { return m_visits; }
    QPushButton *clearVisitsButton() const { return m_clearVisits; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    // The names from the root folder down to the item, joined by "\".
    static QString Location(const LinkItem &item);

public slots:
    // OK: refuses a name with a backslash, otherwise stores the fields and closes.
    void accept() override;

private:
    QWidget *createGeneralPage();
    void showItem();
    // "&Clear Visits": the visit count and the last visit are reset at once.
    void clearVisits();
    void storeFields();

    LinkItem *m_item;
    // The texts as the dialog first showed them; a field left as it was keeps its stored bytes.
    QString m_shownName;
    QString m_shownUrl;
    QString m_shownDescription;

    QTabWidget *m_pages;
    QLabel *m_icon;
    QLineEdit *m_name;
    QLabel *m_type;
    QLabel *m_location;
    QLabel *m_contentsCaption;
    QLabel *m_contents;
    QLineEdit *m_url;
    QPlainTextEdit *m_description;
    QComboBox *m_rating;
    QLabel *m_visits;
    QPushButton *m_clearVisits;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
