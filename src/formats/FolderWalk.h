#pragma once

#include <QSet>
#include <QString>

#include <vector>

// Walks a folder tree depth first, without recursion, the way the Favorites import and the Favorites
// chooser see it: every entry of a folder in the order the file system lists them, a folder reported
// before its contents, hidden and system entries (names starting with "." on POSIX systems; special
// files such as sockets and devices) left out together with everything below them.
//
// A folder reached through a symbolic link (or junction) is entered only when the folder it leads to
// has not been entered in this walk yet: a link back to an ancestor, which would never end, is not
// followed, and neither is a second link to the same folder, so that links cannot multiply the walk.
// Plain folders are always entered.
class FolderWalk
{
public:
    struct Entry
    {
        QString name;
        QString path;
        bool isFolder = false;
        bool isLink = false; // a symbolic link or junction
    };

    // Lists folders only, or folders and files.
    enum Contents { FoldersOnly, FoldersAndFiles };

    explicit FolderWalk(Contents contents) : m_contents(contents) { }

    // onFolder(parent, entry) returns the handle under which the folder's contents are reported, or a
    // null handle to leave it unwalked; onFile(parent, entry) sees each file. Either may call stop().
    // `root` may end with a separator or not; a folder that cannot be listed adds nothing.
    template<typename Handle, typename OnFolder, typename OnFile>
    void run(const QString &root, Handle top, OnFolder onFolder, OnFile onFile);

    void stop() { m_stopped = true; }
    bool stopped() const { return m_stopped; }

    // Folders reached through a symbolic link that were not entered.
    int linksNotFollowed() const { return m_linksNotFollowed; }

    static QString withSeparator(const QString &path);

private:
    std::vector<Entry> list(const QString &folder);
    // Decides whether a listed folder is entered, and notes it as entered.
    bool enter(const Entry &entry, const QString &parentCanonical, QString *canonical);

    Contents m_contents;
    bool m_stopped = false;
    int m_linksNotFollowed = 0;
    QSet<QString> m_entered;
};

template<typename Handle, typename OnFolder, typename OnFile>
void FolderWalk::run(const QString &root, Handle top, OnFolder onFolder, OnFile onFile)
{
    struct Frame
    {
        Handle handle;
        QString canonical;
        std::vector<Entry> entries;
        size_t next = 0;
    };
    m_stopped = false;
    m_linksNotFollowed = 0;
    m_entered.clear();

    QString rootCanonical;
    if (!enter(Entry {QString(), root, true, false}, QString(), &rootCanonical))
        return;
    std::vector<Frame> stack;
    stack.push_back(Frame {top, rootCanonical, list(root)});
    while (!stack.empty() && !m_stopped) {
        Frame &frame = stack.back();
        if (frame.next == frame.entries.size()) {
            stack.pop_back();
            continue;
        }
        const Entry entry = std::move(frame.entries[frame.next++]);
        const Handle parent = frame.handle;
        if (!entry.isFolder) {
            onFile(parent, entry);
            continue;
        }
        QString canonical;
        if (!enter(entry, frame.canonical, &canonical))
            continue;
        const Handle child = onFolder(parent, entry);
        if (child && !m_stopped)
            stack.push_back(Frame {child, canonical, list(entry.path)});
    }
}
