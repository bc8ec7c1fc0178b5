#pragma once

#include "transfer/Prompts.h"

#include <QStringList>

// Answers the file dialogs with one path, the Favorites chooser with its second choice, and records the
// message boxes.
class FilePrompts : public Prompts
{
public:
    explicit FilePrompts(QString path) : m_path(std::move(path)) { }
    QString saveFileName(QWidget *, const FileDialogSettings &) override { return m_path; }
    QString openFileName(QWidget *, const FileDialogSettings &) override { return m_path; }
    QString existingDirectory(QWidget *, const QString &) override { return {}; }
    void error(QWidget *, const QString &message, const QString &) override { boxes << message; }
    void information(QWidget *, const QString &message, const QString &) override { boxes << message; }
    void warning(QWidget *, const QString &message, const QString &) override { boxes << message; }
    int runImportForm(FavoritesFolderDialog &) override { return 2; }
    QStringList boxes;

private:
    QString m_path;
};
