#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QUrl>

// The help pages compiled into the program: HTML topics under qrc:/help/, their table of contents
// (contents.txt: one "page title" line per entry, indented by two blanks per level) and the topic of every help
// context number (context.map: "number page" lines).
class HelpBook
{
public:
    struct Entry
    {
        int depth;
        QString title;
        QUrl page;
    };

    HelpBook();

    QUrl ContentsPage() const;
    // The topic of a help context number; an empty URL when the number has none.
    QUrl topicPage(int context) const;
    QList<int> ContextNumbers() const { return m_topics.keys(); }
    const QList<Entry> &Contents() const { return m_contents; }

    // The URL of a page of the book, given its file name.
    static QUrl PageUrl(const QString &page);

    // Makes the book's files (pages and pictures, under ":/help/") available; the constructor does it too.
    static void LoadResources();

private:
    QList<Entry> m_contents;
    QMap<int, QUrl> m_topics;
};
