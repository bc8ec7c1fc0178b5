#pragma once

#include <QDialog>
#include <QStringList>

class HelpSystem;
class QCheckBox;
class QLabel;
class QPushButton;

// "Tip of the Day": shows the program's eight tips one at a time, in an order shuffled at every opening, and
// carries the "&Show tips at startup" check box. The command that opens the dialog sets the check box from the
// settings and stores it again when the dialog has closed.
class TForm1 : public QDialog
{
    Q_OBJECT
public:
    static constexpr int TipCount = 8;
    static constexpr int FirstTipResource = 50000;

    // owner: the window the dialog belongs to (centred on it); help receives F1.
    TForm1(HelpSystem *help, QWidget *owner);

    // The text of tip resource FirstTipResource + i, for i from 0 to TipCount - 1; empty for other numbers.
    static QString TipText(int resource);

    const QStringList &Tips() const { return m_tips; }
    int TipIndex() const { return m_tipIndex; }

    QCheckBox *ShowTip() const { return m_showTip; }
    QLabel *Label2() const { return m_label2; }
    QPushButton *Button1() const { return m_button1; }
    QPushButton *Button2() const { return m_button2; }
    QPushButton *Button3() const { return m_button3; }

    // "&Next", "&Back", "Close" and F1.
    void Button2Click();
    void Button1Click();
    void Button3Click();
    void Action1Execute();

private:
    void buildLayout();
    void FormCreate();
    void showTip();

    HelpSystem *m_help;
    QStringList m_tips;
    int m_tipIndex = 0;
    QLabel *m_label2 = nullptr;
    QCheckBox *m_showTip = nullptr;
    QPushButton *m_button1 = nullptr;
    QPushButton *m_button2 = nullptr;
    QPushButton *m_button3 = nullptr;
};
