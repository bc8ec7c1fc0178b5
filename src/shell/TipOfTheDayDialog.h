#pragma once

#include <QDialog>
#include <QStringList>

class HelpSystem;
class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;

// "Tip of the Day": shows the program's eight tips one at a time, in an order shuffled at every opening, and
// carries the "&Show tips at startup" check box. The command that opens the dialog sets the check box from the
// settings and stores it again when the dialog has closed.
class TipOfTheDayDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int TipCount = 8;
    static constexpr int FirstTipResource = 50000;

    // owner: the window the dialog belongs to (centred on it); help receives F1.
    TipOfTheDayDialog(HelpSystem *help, QWidget *owner);

    // The text of tip resource FirstTipResource + i, for i from 0 to TipCount - 1; empty for other numbers.
    static QString tipText(int resource);

    const QStringList &Tips() const { return m_tips; }
    int TipIndex() const { return m_tipIndex; }

    QCheckBox *showTipBox() const { return m_showTip; }
    QLabel *tipLabel() const { return m_tipLabel; }
    QPushButton *backButton() const { return m_backButton; }
    QPushButton *nextButton() const { return m_nextButton; }
    QPushButton *closeButton() const { return m_closeButton; }

    // "&Next", "&Back", "Close" and F1.
    void nextTip();
    void previousTip();
    void closeTip();
    void showHelp();

private:
    void buildLayout();
    void shuffleTips();
    void showTip();

    HelpSystem *m_help;
    QStringList m_tips;
    int m_tipIndex = 0;
    QLabel *m_tipLabel = nullptr;
    QCheckBox *m_showTip = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    QPushButton *m_backButton = nullptr;
    QPushButton *m_nextButton = nullptr;
    QPushButton *m_closeButton = nullptr;
};
