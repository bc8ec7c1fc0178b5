#pragma once

#include <QDialog>

class ErrorReporter;
class HelpSystem;
class QLabel;
class QPushButton;
class THyperlinkLabel;

// "About Quillmark": the program's name and version as read from its own file, the rights notice, the support
// address and the web site, and the legal notice.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    // owner: the window the box belongs to (centred on it); help receives F1; reporter shows the error of a
    // version that cannot be read (none: the standard error box over the owner). programFile is the file whose
    // version is shown; empty means the running program.
    TAboutBox(HelpSystem *help, QWidget *owner, ErrorReporter *reporter = nullptr,
              const QString &programFile = QString());
    ~TAboutBox() override;

    // "1.0.0 Build 271" for the file version 1.0.0.271.
    static QString VersionText(int major1, int major2, int minor1, int minor2);

    static QString RightsNotice();
    static QString LegalNotice();

    QLabel *Label11() const { return m_label11; }
    QLabel *Label13() const { return m_label13; }
    QLabel *Label1() const { return m_label1; }
    THyperlinkLabel *MailLinkLabel() const { return m_mailLinkLabel; }
    THyperlinkLabel *WebLinkLabel() const { return m_webLinkLabel; }
    QPushButton *Button1() const { return m_button1; }

    // F1: the about box's help topic.
    void Action1Execute();

private:
    void buildLayout();
    void FormCreate(const QString &programFile);

    HelpSystem *m_help;
    ErrorReporter *m_reporter;
    QLabel *m_label11 = nullptr;
    QLabel *m_label13 = nullptr;
    QLabel *m_label1 = nullptr;
    THyperlinkLabel *m_mailLinkLabel = nullptr;
    THyperlinkLabel *m_webLinkLabel = nullptr;
    QPushButton *m_button1 = nullptr;
};
