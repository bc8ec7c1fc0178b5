#include "sync/SyncFile.h"

#include <QDateTime>

#include <algorithm>
#include <vector>

namespace {

constexpr int MaxIndentedDepth = 32;

// Text as XML holds it: markup characters as entities, characters XML cannot hold as U+FFFD, and in
// attributes the white space that a reader would otherwise turn into plain spaces as references.
void appendEscaped(QString &out, const QString &text, bool attribute)
{
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
    // Deep trees are not indented further, which would grow with the square of the depth.
    const QString spaces(MaxIndentedDepth * 2 + 2, u' ');
    while (!pending.empty()) {
        const Step step = pending.back();
        pending.pop_back();
        // Deep trees are not indented further, which would grow with the square of the depth.
        const int depth = std::min(step.depth, MaxIndentedDepth);
        const QStringView indent = QStringView(spaces).left(depth * 2);
        const QStringView inner = QStringView(spaces).left(depth * 2 + 2);
        out += indent;
        if (step.close) {
            out += u"</folder>\n";
            continue;
        }
        const SyncNode &node = *tree.find(step.id);
        if (node.folder) {
            out += u"<folder id=\"";
        } else {
            out += u"<bookmark href=\"";
            appendEscaped(out, node.url, true);
            out += u"\" id=\"";
        }
        out += QString::number(node.id);
        out += u"\">\n";
        out += inner;
        out += u"<title>";
        appendEscaped(out, node.title, false);
        out += u"</title>\n";
        if (!node.description.isEmpty()) {
            out += inner;
            out += u"<desc>";
            appendEscaped(out, node.description, false);
            out += u"</desc>\n";
        }
        out += inner;
        out += u"<info><metadata owner=\"";
        out += QLatin1String(MetadataOwner);
        out += u'"';
        if (node.visits != 0) {
            out += u" visits=\"";
            out += QString::number(node.visits);
            out += u'"';
        }
        if (node.rating != 0) {
            out += u" rating=\"";
            out += QString::number(node.rating);
            out += u'"';
        }
        if (node.lastVisit != 0) {
            out += u" visited=\"";
            out += QDateTime::fromSecsSinceEpoch(node.lastVisit, Qt::UTC).toString(Qt::ISODate);
            out += u'"';
        }
        out += u"/></info>\n";
        if (node.folder) {
            pending.push_back({node.id, step.depth, true});
            pushChildren(node.id, step.depth + 1);
        } else {
            out += indent;
            out += u"</bookmark>\n";
        }
    }
    out += QStringLiteral("</xbel>");
    return out.toUtf8();
}
