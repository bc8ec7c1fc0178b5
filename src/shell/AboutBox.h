#pragma once

#include <QDialog>

class ErrorReporter;
class HelpSystem;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class HyperlinkLabel;

// "About Quillmark": the program's name and version as read from its own file, the rights notice, the support
// address and the web site, and the legal notice.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    // owner: the window the box belongs to (centred on it); help receives F1; reporter shows the error of a
    // version that cannot be read (none: the standard error box over the owner). programFile is the file whose
    // version is shown; empty means the running program.
    AboutBox(HelpSystem *help, QWidget *owner, ErrorReporter *reporter = nullptr,
             const QString &programFile = QString());
    ~AboutBox() override;

    // "1.0.0 Build 271" for the file version 1.0.0.271.
    static QString VersionText(int major1, int major2, int minor1, int minor2);

    static QString RightsNotice();
    static QString LegalNotice();

    QLabel *versionLabel() const { return m_versionLabel; }
    QLabel *distributorLabel() const { return m_distributorLabel; }
    QLabel *legalNoticeLabel() const { return m_legalNoticeLabel; }
    HyperlinkLabel *MailLinkLabel() const { return m_mailLinkLabel; }
    HyperlinkLabel *WebLinkLabel() const { return m_webLinkLabel; }
    QPushButton *okButton() const { return m_okButton; }

    // F1: the about box's help topic.
    void showHelp();

private:
    void buildLayout();
    void FormCreate(const QString &programFile);

    HelpSystem *m_help;
    ErrorReporter *m_reporter;
    QLabel *m_versionLabel = nullptr;
    QLabel *m_distributorLabel = nullptr;
    QLabel *m_legalNoticeLabel = nullptr;
    HyperlinkLabel *m_mailLinkLabel = nullptr;
    HyperlinkLabel *m_webLinkLabel = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    QPushButton *m_okButton = nullptr;
};
