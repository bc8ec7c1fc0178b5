#include "store/TextFold.h"

#include "store/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace TextFold {

namespace {

// Drops combining marks, code point by code point, and the zero character, which separates the fields of
// an index and so can never be part of a word.
QString withoutMarks(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            const char32_t ucs4 = QChar::surrogateToUcs4(c, text.at(i + 1));
            if (!QChar::isMark(ucs4)) {
                out += c;
                out += text.at(i + 1);
            }
            ++i;
        } else if (!c.isMark() && !c.isNull()) {
            out += c;
        }
    }
    return out;
}

QString foldText(const QString &text)
{
    // Decompose and drop marks; fold case; then once more, because a compatibility decomposition can give
    // capitals ("\u3392" is "MHz") and folding can give characters that decompose.
    QString folded = withoutMarks(text.normalized(QString::NormalizationForm_KD)).toCaseFolded();
    return withoutMarks(folded.normalized(QString::NormalizationForm_KD));
}

// No branch on the data, so that the compiler can run the loop many bytes at a time.
void appendAscii(std::string &out, std::string_view bytes)
{
    const size_t start = out.size();
    out.resize(start + bytes.size());
    char *target = out.data() + start;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *target++ = static_cast<char>(byte + (static_cast<unsigned char>(byte - 'A') < 26 ? 'a' - 'A' : 0));
    }
}

} // namespace

void appendFoldedStored(std::string &out, std::string_view bytes)
{
    if (isAscii(bytes)) {
        appendAscii(out, bytes);
        return;
    }
    const QByteArray utf8 = foldText(TextCodec::toDisplay(bytes)).toUtf8();
    out.append(utf8.constData(), static_cast<size_t>(utf8.size()));
}

bool isAscii(std::string_view bytes) noexcept
{
    // Eight bytes at a time, then the rest.
    std::uint64_t any = 0;
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        any |= word;
    }
    for (; i < bytes.size(); ++i)
        any |= static_cast<unsigned char>(bytes[i]);
    return (any & 0x8080808080808080u) == 0;
}

bool foldsToAsciiLower(std::string_view bytes)
{
    if (isAscii(bytes))
        return true;
    std::string lower;
    appendAscii(lower, bytes);
    return foldStored(bytes) == lower;
}

std::string foldStored(std::string_view bytes)
{
    std::string out;
    appendFoldedStored(out, bytes);
    return out;
}

std::string fold(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::string out;
    if (isAscii(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))))
        appendAscii(out, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
    else
        out = foldText(text).toUtf8().toStdString();
    // The zero character separates the fields of an index; typed text never needs it.
    out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
    return out;
}

std::vector<std::string> queryWords(const QString &query)
{
    std::vector<std::string> words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= query.size(); ++i) {
        const bool space = i == query.size() || query.at(i).isSpace();
        if (!space && start < 0)
            start = i;
        if (space && start >= 0) {
            std::string word = fold(query.mid(start, i - start));
            // Folding may bring out a space ("\u00A8" is a space and a mark); such a word still matches
            // the folded text as one piece, but an empty one matches nothing in particular.
            if (!word.empty())
                words.push_back(std::move(word));
            start = -1;
        }
    }
    // Longest first, so that a search can narrow on the word least likely to occur.
    std::stable_sort(words.begin(), words.end(),
                     [](const std::string &a, const std::string &b) { return a.size() > b.size(); });
    std::vector<std::string> kept;
    for (std::string &word : words) {
        const bool implied = std::any_of(kept.begin(), kept.end(), [&](const std::string &longer) {
            return longer.find(word) != std::string::npos;
        });
        if (!implied)
            kept.push_back(std::move(word));
    }
    return kept;
}

std::vector<std::string> fewestFirst(const std::vector<std::string> &words,
                                     const std::function<size_t(const std::string &word)> &count)
{
    std::vector<std::pair<size_t, size_t>> seen; // count, index in words
    for (size_t w = 0; w < words.size(); ++w)
        seen.emplace_back(count(words[w]), w);
    std::stable_sort(seen.begin(), seen.end(), [&](const auto &a, const auto &b) {
        return a.first != b.first ? a.first < b.first : words[a.second].size() > words[b.second].size();
    });
    std::vector<std::string> ordered;
    for (const auto &[hits, w] : seen)
        ordered.push_back(words[w]);
    return ordered;
}

} // namespace TextFold
