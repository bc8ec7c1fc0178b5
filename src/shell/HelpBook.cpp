#include "shell/HelpBook.h"

#include <QFile>
#include <QTextStream>

// Outside any namespace, as the resource initialiser requires. A static library keeps its resources only
// when something calls this.
static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace {

QStringList resourceLines(const QString &name)
{
    QFile file(QStringLiteral(":/help/") + name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines;
    QTextStream stream(&file);
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (!line.trimmed().isEmpty() && !line.trimmed().startsWith(QLatin1Char('#')))
            lines << line;
    }
    return lines;
}

} // namespace

void HelpBook::LoadResources()
{
    static const bool loaded = (initHelpResources(), true);
    Q_UNUSED(loaded);
}

HelpBook::HelpBook()
{
    LoadResources();

    for (const QString &line : resourceLines(QStringLiteral("contents.txt"))) {
        qsizetype indent = 0;
        while (indent < line.size() && line.at(indent) == QLatin1Char(' '))
            ++indent;
        const QString entry = line.trimmed();
        const qsizetype blank = entry.indexOf(QLatin1Char(' '));
        if (blank < 0)
            continue;
        m_contents.append({static_cast<int>(indent / 2), entry.mid(blank + 1).trimmed(), PageUrl(entry.left(blank))});
    }
    for (const QString &line : resourceLines(QStringLiteral("context.map"))) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool ok = false;
        const int context = fields.value(0).toInt(&ok);
        if (ok && fields.size() == 2)
            m_topics.insert(context, PageUrl(fields.at(1)));
    }
}

QUrl HelpBook::ContentsPage() const
{
    return PageUrl(QStringLiteral("index.html"));
}

QUrl HelpBook::topicPage(int context) const
{
    return m_topics.value(context);
}

QUrl HelpBook::PageUrl(const QString &page)
{
    return QUrl(QStringLiteral("qrc:/help/") + page);
}
