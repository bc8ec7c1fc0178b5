#include "formats/XbelWriter.h"

#include <QDateTime>

#include <algorithm>

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

XbelWriter::Shared::Shared(qint64 highestId, const char *metadataOwner)
    : m_owner(QLatin1String(metadataOwner)), m_spaces(MaxIndentedDepth * 2 + 2, u' ')
{
    m_out += QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE xbel PUBLIC \"+//IDN python.org//DTD XML Bookmark Exchange Language 1.0//EN//XML\" "
        "\"http://pyxml.sourceforge.net/topics/dtds/xbel.dtd\">\n"
        "<xbel version=\"1.0\">\n");
    m_out += QStringLiteral("<!--- highestId :%1: for Floccus bookmark sync browser extension -->\n\n").arg(highestId);
}

void XbelWriter::Shared::add(const Entry &entry, int depth)
{
    depth = std::min(depth, MaxIndentedDepth);
    const QStringView indent = QStringView(m_spaces).left(depth * 2);
    const QStringView inner = QStringView(m_spaces).left(depth * 2 + 2);
    m_out += indent;
    if (entry.folder) {
        m_out += u"<folder id=\"";
    } else {
        m_out += u"<bookmark href=\"";
        appendEscaped(m_out, entry.url, true);
        m_out += u"\" id=\"";
    }
    m_out += QString::number(entry.id);
    m_out += u"\">\n";
    m_out += inner;
    m_out += u"<title>";
    appendEscaped(m_out, entry.title, false);
    m_out += u"</title>\n";
    if (!entry.description.isEmpty()) {
        m_out += inner;
        m_out += u"<desc>";
        appendEscaped(m_out, entry.description, false);
        m_out += u"</desc>\n";
    }
    m_out += inner;
    m_out += u"<info><metadata owner=\"";
    m_out += m_owner;
    m_out += u'"';
    if (entry.visits != 0) {
        m_out += u" visits=\"";
        m_out += QString::number(entry.visits);
        m_out += u'"';
    }
    if (entry.rating != 0) {
        m_out += u" rating=\"";
        m_out += QString::number(entry.rating);
        m_out += u'"';
    }
    if (entry.lastVisit != 0) {
        m_out += u" visited=\"";
        m_out += QDateTime::fromSecsSinceEpoch(entry.lastVisit, Qt::UTC).toString(Qt::ISODate);
        m_out += u'"';
    }
    m_out += u"/></info>\n";
    if (!entry.folder) {
        m_out += indent;
        m_out += u"</bookmark>\n";
    }
}

void XbelWriter::Shared::close(int depth)
{
    m_out += QStringView(m_spaces).left(std::min(depth, MaxIndentedDepth) * 2);
    m_out += u"</folder>\n";
}

QByteArray XbelWriter::Shared::finish()
{
    m_out += QStringLiteral("</xbel>");
    return m_out.toUtf8();
}
