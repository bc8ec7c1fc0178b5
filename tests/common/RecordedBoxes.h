#pragma once

#include "widgets/MessageBoxes.h"

#include <QStringList>

// Records the message boxes shown while it lives instead of showing them, each as its text (and every title in
// `titles`), and answers the questions with `answer`. A copy records on its own; assigning copies the records
// only, so that an object built later and gone earlier gives the boxes back to the one before it.
class RecordedBoxes
{
public:
    RecordedBoxes()
        : m_previous(
            MessageBoxes::setPresenter([this](const MessageBoxes::Message &message) { return record(message); }))
    {
    }
    RecordedBoxes(const RecordedBoxes &other) : RecordedBoxes() { *this = other; }
    RecordedBoxes &operator=(const RecordedBoxes &other)
    {
        questions = other.questions;
        informations = other.informations;
        warnings = other.warnings;
        errors = other.errors;
        titles = other.titles;
        answer = other.answer;
        return *this;
    }
    ~RecordedBoxes() { MessageBoxes::setPresenter(std::move(m_previous)); }

    bool noneShown() const
    {
        return questions.isEmpty() && informations.isEmpty() && warnings.isEmpty() && errors.isEmpty();
    }

    QStringList questions;
    QStringList informations;
    QStringList warnings;
    QStringList errors;
    QStringList titles;
    bool answer = true;

private:
    bool record(const MessageBoxes::Message &message)
    {
        titles << message.title;
        switch (message.kind) {
        case MessageBoxes::Kind::Question:
            questions << message.text;
            return answer;
        case MessageBoxes::Kind::Information:
            informations << message.text;
            break;
        case MessageBoxes::Kind::Warning:
            warnings << message.text;
            break;
        case MessageBoxes::Kind::Error:
            errors << message.text;
            break;
        }
        return false;
    }

    MessageBoxes::Presenter m_previous;
};
