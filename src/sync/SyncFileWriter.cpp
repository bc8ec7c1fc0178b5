#include "sync/SyncFile.h"

#include <QDateTime>

#include <algorithm>
#include <vector>

namespace {

constexpr int MaxIndentedDepth = 32;

// Text as XML holds it: markup characters as entities, characters XML cannot hold as U+FFFD, and in
// attributes the white space that a reader would otherwise turn into plain spaces as references.
QString escaped(const QString &text, bool attribute)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        switch (u) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'"':
            out += attribute ? QStringView(u"&quot;") : QStringView(u"\"");
            break;
        case u'\r':
            out += u"&#13;";
            break;
        case u'\n':
            out += attribute ? QStringView(u"&#10;") : QStringView(u"\n");
            break;
        case u'\t':
            out += attribute ? QStringView(u"&#9;") : QStringView(u"\t");
            break;
        default:
            if (u < 0x20 || u == 0xFFFE || u == 0xFFFF || c.isSurrogate())
                out += QChar(QChar::ReplacementCharacter);
            else
                out += c;
        }
    }
    return out;
}

} // namespace

QByteArray SyncFile::write(const SyncTree &tree)
{
    QString out;
    out += QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE xbel PUBLIC \"+//IDN python.org//DTD XML Bookmark Exchange Language 1.0//EN//XML\" "
        "\"http://pyxml.sourceforge.net/topics/dtds/xbel.dtd\">\n"
        "<xbel version=\"1.0\">\n");
    out += QStringLiteral("<!--- highestId :%1: for Floccus bookmark sync browser extension -->\n\n")
               .arg(tree.highestId());
    // Depth-first without recursion: an entry, or the end of a folder.
    struct Step
    {
        qint64 id;
        int depth;
        bool close;
    };
    std::vector<Step> pending;
    const auto pushChildren = [&](qint64 id, int depth) {
        const std::vector<qint64> children = tree.children(id);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back({*it, depth, false});
    };
    pushChildren(SyncTree::RootId, 0);
    while (!pending.empty()) {
        const Step step = pending.back();
        pending.pop_back();
        // Deep trees are not indented further, which would grow with the square of the depth.
        const int depth = std::min(step.depth, MaxIndentedDepth);
        const QString indent(depth * 2, u' ');
        if (step.close) {
            out += indent + QStringLiteral("</folder>\n");
            continue;
        }
        const SyncNode &node = *tree.find(step.id);
        if (node.folder)
            out += indent + QStringLiteral("<folder id=\"%1\">\n").arg(node.id);
        else
            out += indent
                + QStringLiteral("<bookmark href=\"%1\" id=\"%2\">\n")
                      .arg(escaped(node.url, true), QString::number(node.id));
        const QString inner(depth * 2 + 2, u' ');
        out += inner + QStringLiteral("<title>") + escaped(node.title, false) + QStringLiteral("</title>\n");
        if (!node.description.isEmpty())
            out += inner + QStringLiteral("<desc>") + escaped(node.description, false) + QStringLiteral("</desc>\n");
        out += inner + QStringLiteral("<info><metadata owner=\"") + QLatin1String(MetadataOwner) + u'"';
        if (node.visits != 0)
            out += QStringLiteral(" visits=\"%1\"").arg(node.visits);
        if (node.rating != 0)
            out += QStringLiteral(" rating=\"%1\"").arg(node.rating);
        if (node.lastVisit != 0)
            out += QStringLiteral(" visited=\"%1\"")
                       .arg(QDateTime::fromSecsSinceEpoch(node.lastVisit, Qt::UTC).toString(Qt::ISODate));
        out += QStringLiteral("/></info>\n");
        if (node.folder) {
            pending.push_back({node.id, step.depth, true});
            pushChildren(node.id, step.depth + 1);
        } else {
            out += indent + QStringLiteral("</bookmark>\n");
        }
    }
    out += QStringLiteral("</xbel>");
    return out.toUtf8();
}
