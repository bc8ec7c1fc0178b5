#pragma once

#include "OpenPolicy.h"
#include "ProgramLock.h"

#include <QString>

#include <memory>

class LinkItem;

// The one way quillmark-tool opens a collection file and writes it back. Opening follows the command's
// policy for a file that is missing, damaged, of another format or held by a running Quillmark, and says
// on standard error what went wrong. A file to be changed is held against Quillmark until this ends.
class CollectionFile
{
public:
    CollectionFile(const QString &path, const OpenPolicy &policy);
    ~CollectionFile();

    // False when the command must stop: status() is then its exit status.
    bool isOpen() const { return m_open; }
    // Success, or DataDamaged when only part was read (and the command goes on with that part); the exit
    // status of the refusal when the file is not open.
    int status() const { return m_status; }
    const QString &path() const { return m_path; }
    LinkItem &top() { return *m_top; }

    enum class Backup { None, First };
    // Writes the collection back to the file, through a temporary file renamed over it; with Backup::First
    // keeps the file as it is as today's backup before. False, with what to say in *error, when either
    // failed: the file is then as it was.
    bool save(Backup backup, QString *error) const;
    // Writes the collection to another file the same way.
    bool saveAs(const QString &path, QString *error) const;

private:
    void read();
    // Writes text on standard error, %1 the file and %2 reason, one message a line.
    void say(const QString &text, const QString &reason) const;
    void refuse(int status, const QString &text, const QString &reason = QString());

    QString m_path;
    OpenPolicy m_policy;
    std::unique_ptr<ProgramLock> m_lock;
    std::unique_ptr<LinkItem> m_top;
    bool m_open = true;
    int m_status = 0;
};
