#pragma once

#include <QDialog>

class HelpSystem;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class HyperlinkLabel;

// "About Quillmark": the program's name and version (QCoreApplication::applicationVersion()), the rights notice,
// the support address and the web site, and the legal notice.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    // owner: the window the box belongs to (centred on it); help receives F1.
    AboutBox(HelpSystem *help, QWidget *owner);
    ~AboutBox() override;

    // "1.0.0 Build 271" for the version 1.0.0.271: three numbers, then the build number (0 when there is none).
    // A version that is no number gives the placeholder "#".
    static QString VersionText(const QString &version);

    static QString RightsNotice();
    static QString LegalNotice();

    QLabel *versionLabel() const { return m_versionLabel; }
    QLabel *distributorLabel() const { return m_distributorLabel; }
    QLabel *legalNoticeLabel() const { return m_legalNoticeLabel; }
    HyperlinkLabel *mailLinkLabel() const { return m_mailLinkLabel; }
    HyperlinkLabel *webLinkLabel() const { return m_webLinkLabel; }
    QPushButton *okButton() const { return m_okButton; }

    // F1: the about box's help topic.
    void showHelp();

private:
    void buildLayout();

    HelpSystem *m_help;
    QLabel *m_versionLabel = nullptr;
    QLabel *m_distributorLabel = nullptr;
    QLabel *m_legalNoticeLabel = nullptr;
    HyperlinkLabel *m_mailLinkLabel = nullptr;
    HyperlinkLabel *m_webLinkLabel = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    QPushButton *m_okButton = nullptr;
};
