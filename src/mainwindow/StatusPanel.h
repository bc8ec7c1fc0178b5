#pragma once

#include <QLabel>

// The status bar's panel for the status text. The text may hold names from the collection, so it is never taken
// for rich text.
class StatusPanel : public QLabel
{
public:
    explicit StatusPanel(QWidget *parent = nullptr) : QLabel(parent)
    {
        setObjectName(QStringLiteral("StatusPanel"));
        setTextFormat(Qt::PlainText);
    }
};
