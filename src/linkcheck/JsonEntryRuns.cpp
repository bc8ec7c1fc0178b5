#include "linkcheck/JsonEntryRuns.h"

namespace {

// Walks over the bytes of a document, one value at a time, without checking more than where values end.
class Walk
{
public:
    explicit Walk(const QByteArray &bytes) : m_data(bytes.constData()), m_at(0), m_end(bytes.size()) { }

    qsizetype at() const { return m_at; }
    bool atEnd() const { return m_at >= m_end; }
    char peek() const { return atEnd() ? '\0' : m_data[m_at]; }
    void skipSpace()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_at;
    }
    bool take(char c)
    {
        if (peek() != c)
            return false;
        ++m_at;
        return true;
    }
    // Past a string, from its opening quote; false when it does not end.
    bool skipString()
    {
        if (!take('"'))
            return false;
        while (!atEnd()) {
            const char c = m_data[m_at++];
            if (c == '\\')
                ++m_at;
            else if (c == '"')
                return m_at <= m_end;
        }
        return false;
    }
    // Past one value. Containers end where their brackets balance (which kind closes is the parser's business);
    // anything else ends before the next separator.
    bool skipValue()
    {
        const char first = peek();
        if (first == '"')
            return skipString();
        if (first != '{' && first != '[') {
            const qsizetype start = m_at;
            while (!atEnd() && !isSeparator(peek()))
                ++m_at;
            return m_at > start;
        }
        qsizetype depth = 0;
        while (!atEnd()) {
            const char c = peek();
            if (c == '"') {
                if (!skipString())
                    return false;
                continue;
            }
            ++m_at;
            if (c == '{' || c == '[') {
                ++depth;
            } else if (c == '}' || c == ']') {
                if (--depth == 0)
                    return true;
            }
        }
        return false;
    }

private:
    static bool isSeparator(char c)
    {
        return c == ',' || c == ']' || c == '}' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
    }

    const char *m_data;
    qsizetype m_at;
    qsizetype m_end;
};

} // namespace

std::optional<JsonEntryRuns> JsonEntryRuns::cut(const QByteArray &bytes, QByteArrayView arrayKey, qsizetype runBytes)
{
    JsonEntryRuns cut;
    Walk walk(bytes);
    const auto view = [&bytes](qsizetype from, qsizetype to) { return QByteArrayView(bytes).sliced(from, to - from); };
    walk.skipSpace();
    if (!walk.take('{'))
        return std::nullopt;
    cut.rest = "{";
    bool arraySeen = false;
    walk.skipSpace();
    bool more = !walk.take('}');
    while (more) {
        const qsizetype keyStart = walk.at();
        if (!walk.skipString())
            return std::nullopt;
        const QByteArrayView key = view(keyStart + 1, walk.at() - 1);
        walk.skipSpace();
        if (!walk.take(':'))
            return std::nullopt;
        walk.skipSpace();
        if (key.contains('\\'))
            return std::nullopt;
        if (key == arrayKey) {
            if (arraySeen || !walk.take('['))
                return std::nullopt;
            arraySeen = true;
            walk.skipSpace();
            qsizetype runStart = -1;
            qsizetype count = 0;
            bool entries = !walk.take(']');
            while (entries) {
                const qsizetype start = walk.at();
                if (!walk.skipValue())
                    return std::nullopt;
                if (runStart < 0)
                    runStart = start;
                ++count;
                const qsizetype end = walk.at();
                walk.skipSpace();
                entries = walk.take(',');
                if (!entries && !walk.take(']'))
                    return std::nullopt;
                if (!entries || end - runStart >= runBytes) {
                    cut.runs.push_back(view(runStart, end));
                    cut.counts.push_back(count);
                    runStart = -1;
                    count = 0;
                }
                walk.skipSpace();
            }
        } else {
            const qsizetype valueStart = walk.at();
            if (!walk.skipValue())
                return std::nullopt;
            if (cut.rest.size() > 1)
                cut.rest += ',';
            cut.rest += view(keyStart, valueStart).toByteArray();
            cut.rest += view(valueStart, walk.at()).toByteArray();
        }
        walk.skipSpace();
        more = walk.take(',');
        if (!more && !walk.take('}'))
            return std::nullopt;
        walk.skipSpace();
    }
    if (!walk.atEnd())
        return std::nullopt;
    cut.rest += '}';
    return cut;
}
