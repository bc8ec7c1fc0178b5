#pragma once

#include <QDialog>

#include <memory>

class LinkItem;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "New URL": asks for the name, URL and description of a new link. OK stays disabled until both the
// name and the URL hold something besides blanks. Whenever the dialog becomes the active window, a URL
// on the clipboard (its first word, when that word looks like one) is put into the URL field.
//
// Use: construct with the main window as parent, exec(), and on QDialog::Accepted read name(), url()
// and description() (exactly as typed) or let CreateItem() build the link from them.
class NewItemDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NewItemDialog(QWidget *parent = nullptr);

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *urlEdit() const { return m_url; }
    QPlainTextEdit *descriptionEdit() const { return m_description; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    // The three texts as typed, not trimmed.
    QString name() const;
    QString url() const;
    QString description() const;

    // A new link (no parent yet) holding the typed texts as stored bytes.
    std::unique_ptr<LinkItem> CreateItem() const;

    // Removes every leading and trailing character with a code of 32 or less.
    static QString Trimmed(const QString &text);
    // What the clipboard text offers as a URL: its trimmed first word when that word contains one of the
    // URL markers, otherwise an empty string.
    static QString UrlFromClipboardText(const QString &text);

protected:
    bool event(QEvent *event) override;

private:
    // Enables OK when both the name and the URL are non-empty after trimming.
    void updateOkButton();
    // Takes the URL from the clipboard, if it holds one.
    void takeUrlFromClipboard();

    QLineEdit *m_name;
    QLineEdit *m_url;
    QPlainTextEdit *m_description;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
