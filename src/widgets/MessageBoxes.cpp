#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

#include <utility>

namespace MessageBoxes {

namespace {

Presenter &presenter()
{
    static Presenter instance;
    return instance;
}

QMessageBox::Icon iconOf(Kind kind)
{
    switch (kind) {
    case Kind::Question:
        return QMessageBox::Question;
    case Kind::Warning:
        return QMessageBox::Warning;
    case Kind::Error:
        return QMessageBox::Critical;
    case Kind::Information:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

bool show(QWidget *parent, const Message &shown)
{
    Message message = shown;
    if (message.title.isEmpty())
        message.title = QApplication::applicationDisplayName();
    if (presenter())
        return presenter()(message);
    const bool asks = message.kind == Kind::Question;
    QMessageBox box(iconOf(message.kind), message.title, message.text,
                    asks ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    if (asks)
        box.setDefaultButton(QMessageBox::No);
    if (!message.detail.isEmpty())
        box.setInformativeText(message.detail);
    // setTextFormat reaches the main text only: the informative text has a label of its own, which would guess.
    const QList<QLabel *> labels = box.findChildren<QLabel *>();
    for (QLabel *label : labels)
        label->setTextFormat(Qt::PlainText);
    box.exec();
    return asks && box.standardButton(box.clickedButton()) == QMessageBox::Yes;
}

bool question(QWidget *parent, const QString &title, const QString &text)
{
    return show(parent, {Kind::Question, title, text, QString()});
}

void information(QWidget *parent, const QString &title, const QString &text, const QString &detail)
{
    show(parent, {Kind::Information, title, text, detail});
}

void warning(QWidget *parent, const QString &title, const QString &text, const QString &detail)
{
    show(parent, {Kind::Warning, title, text, detail});
}

void error(QWidget *parent, const QString &title, const QString &text, const QString &detail)
{
    show(parent, {Kind::Error, title, text, detail});
}

void standardError(QWidget *parent, const QString &message, const QString &detail)
{
    error(parent, QString(), withPeriod(message), detail);
}

QString withPeriod(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

Presenter setPresenter(Presenter replacement)
{
    return std::exchange(presenter(), std::move(replacement));
}

} // namespace MessageBoxes
