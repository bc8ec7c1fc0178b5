#pragma once

#include "common/RecordedBoxes.h"
#include "transfer/Prompts.h"

#include <QStringList>

// Answers the file dialogs with one path, the Favorites chooser with its second choice, and records the
// message boxes while it lives.
class FilePrompts : public Prompts, public RecordedBoxes
{
public:
    explicit FilePrompts(QString path) : m_path(std::move(path)) { }
    QString saveFileName(QWidget *, const FileDialogSettings &) override { return m_path; }
    QString openFileName(QWidget *, const FileDialogSettings &) override { return m_path; }
    QString existingDirectory(QWidget *, const QString &) override { return {}; }
    int runImportForm(FavoritesFolderDialog &) override { return 2; }

private:
    QString m_path;
};
