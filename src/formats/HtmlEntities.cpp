#include "formats/HtmlEntities.h"

#include "formats/ByteScan.h"
#include "formats/FormatText.h"

#include <array>
#include <cstring>
#include <unordered_map>

namespace HtmlEntities {

namespace {

using EntityMap = std::unordered_map<std::string_view, char32_t>;

// U+00A0 to U+00FF in order.
constexpr std::array<const char *, 96> Latin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

// U+0391 to U+03A9 (U+03A2 has no letter) and U+03B1 to U+03C9.
constexpr std::array<const char *, 25> GreekCapitals = {
    "Alpha", "Beta",    "Gamma", "Delta", "Epsilon", "Zeta",  "Eta", "Theta",   "Iota", "Kappa", "Lambda", "Mu",   "Nu",
    "Xi",    "Omicron", "Pi",    "Rho",   nullptr,   "Sigma", "Tau", "Upsilon", "Phi",  "Chi",   "Psi",    "Omega"};
constexpr std::array<const char *, 25> GreekSmall = {
    "alpha", "beta",    "gamma", "delta", "epsilon", "zeta",  "eta", "theta",   "iota", "kappa", "lambda", "mu",   "nu",
    "xi",    "omicron", "pi",    "rho",   "sigmaf",  "sigma", "tau", "upsilon", "phi",  "chi",   "psi",    "omega"};

struct Named
{
    const char *name;
    char32_t code;
};

constexpr Named Others[] = {
    {"quot", 34},     {"amp", 38},       {"apos", 39},     {"lt", 60},       {"gt", 62},       {"OElig", 338},
    {"oelig", 339},   {"Scaron", 352},   {"scaron", 353},  {"Yuml", 376},    {"fnof", 402},    {"circ", 710},
    {"tilde", 732},   {"thetasym", 977}, {"upsih", 978},   {"piv", 982},     {"ensp", 8194},   {"emsp", 8195},
    {"thinsp", 8201}, {"zwnj", 8204},    {"zwj", 8205},    {"lrm", 8206},    {"rlm", 8207},    {"ndash", 8211},
    {"mdash", 8212},  {"lsquo", 8216},   {"rsquo", 8217},  {"sbquo", 8218},  {"ldquo", 8220},  {"rdquo", 8221},
    {"bdquo", 8222},  {"dagger", 8224},  {"Dagger", 8225}, {"bull", 8226},   {"hellip", 8230}, {"permil", 8240},
    {"prime", 8242},  {"Prime", 8243},   {"lsaquo", 8249}, {"rsaquo", 8250}, {"oline", 8254},  {"frasl", 8260},
    {"euro", 8364},   {"image", 8465},   {"weierp", 8472}, {"real", 8476},   {"trade", 8482},  {"alefsym", 8501},
    {"larr", 8592},   {"uarr", 8593},    {"rarr", 8594},   {"darr", 8595},   {"harr", 8596},   {"crarr", 8629},
    {"lArr", 8656},   {"uArr", 8657},    {"rArr", 8658},   {"dArr", 8659},   {"hArr", 8660},   {"forall", 8704},
    {"part", 8706},   {"exist", 8707},   {"empty", 8709},  {"nabla", 8711},  {"isin", 8712},   {"notin", 8713},
    {"ni", 8715},     {"prod", 8719},    {"sum", 8721},    {"minus", 8722},  {"lowast", 8727}, {"radic", 8730},
    {"prop", 8733},   {"infin", 8734},   {"ang", 8736},    {"and", 8743},    {"or", 8744},     {"cap", 8745},
    {"cup", 8746},    {"int", 8747},     {"there4", 8756}, {"sim", 8764},    {"cong", 8773},   {"asymp", 8776},
    {"ne", 8800},     {"equiv", 8801},   {"le", 8804},     {"ge", 8805},     {"sub", 8834},    {"sup", 8835},
    {"nsub", 8836},   {"sube", 8838},    {"supe", 8839},   {"oplus", 8853},  {"otimes", 8855}, {"perp", 8869},
    {"sdot", 8901},   {"lceil", 8968},   {"rceil", 8969},  {"lfloor", 8970}, {"rfloor", 8971}, {"lang", 9001},
    {"rang", 9002},   {"loz", 9674},     {"spades", 9824}, {"clubs", 9827},  {"hearts", 9829}, {"diams", 9830},
};

// Written without their semicolon by old pages often enough to be worth reading.
constexpr const char *WithoutSemicolon[] = {"amp", "lt", "gt", "quot", "nbsp", "copy", "reg"};

// Windows-1252 for the numeric references 128 to 159, as browsers read them.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

constexpr size_t MaxNameLength = 10;

const EntityMap &entities()
{
    static const EntityMap map = [] {
        EntityMap m;
        for (size_t i = 0; i < Latin1Names.size(); ++i)
            m.emplace(Latin1Names[i], static_cast<char32_t>(0xA0 + i));
        for (size_t i = 0; i < GreekCapitals.size(); ++i) {
            if (GreekCapitals[i])
                m.emplace(GreekCapitals[i], static_cast<char32_t>(0x391 + i));
        }
        for (size_t i = 0; i < GreekSmall.size(); ++i)
            m.emplace(GreekSmall[i], static_cast<char32_t>(0x3B1 + i));
        for (const Named &named : Others)
            m.emplace(named.name, named.code);
        return m;
    }();
    return map;
}

bool isAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A reference starting at raw[at] == '&'. Returns the characters it takes (0 when it is none) and
// appends what it stands for.
size_t decodeOne(std::string &out, std::string_view raw, size_t at, bool attribute)
{
    size_t i = at + 1;
    if (i < raw.size() && raw[i] == '#') {
        ++i;
        const bool hex = i < raw.size() && (raw[i] == 'x' || raw[i] == 'X');
        if (hex)
            ++i;
        const size_t digitsStart = i;
        unsigned long code = 0;
        bool tooLarge = false;
        for (; i < raw.size(); ++i) {
            const int digit = hex ? hexValue(raw[i]) : ((raw[i] >= '0' && raw[i] <= '9') ? raw[i] - '0' : -1);
            if (digit < 0)
                break;
            code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
            if (code > 0x10FFFF) {
                tooLarge = true;
                code = 0x110000;
            }
        }
        if (i == digitsStart)
            return 0;
        if (i < raw.size() && raw[i] == ';')
            ++i;
        char32_t value;
        if (tooLarge || code == 0 || (code >= 0xD800 && code <= 0xDFFF))
            value = 0xFFFD;
        else if (code >= 0x80 && code < 0xA0)
            value = Cp1252High[code - 0x80];
        else
            value = static_cast<char32_t>(code);
        appendUtf8(out, value);
        return i - at;
    }
    const size_t nameStart = i;
    while (i < raw.size() && i - nameStart <= MaxNameLength && isAlnum(raw[i]))
        ++i;
    if (i == nameStart || i - nameStart > MaxNameLength)
        return 0;
    const std::string_view name = raw.substr(nameStart, i - nameStart);
    const bool semicolon = i < raw.size() && raw[i] == ';';
    if (!semicolon) {
        bool allowed = false;
        for (const char *legacy : WithoutSemicolon)
            allowed = allowed || name == legacy;
        if (!allowed || (attribute && i < raw.size() && raw[i] == '='))
            return 0;
    }
    const auto it = entities().find(name);
    if (it == entities().end())
        return 0;
    appendUtf8(out, it->second);
    return i - at + (semicolon ? 1 : 0);
}

const char *namedEscape(char c)
{
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return nullptr;
    }
}

void appendNumeric(std::string &out, unsigned char c)
{
    out += "&#";
    out += std::to_string(static_cast<unsigned>(c));
    out += ';';
}

} // namespace

void appendUtf8(std::string &out, char32_t code)
{
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void appendDecoded(std::string &out, std::string_view raw, bool attribute)
{
    size_t from = 0;
    while (from < raw.size()) {
        const void *found = std::memchr(raw.data() + from, '&', raw.size() - from);
        if (!found) {
            out.append(raw.substr(from));
            return;
        }
        const size_t at = static_cast<size_t>(static_cast<const char *>(found) - raw.data());
        out.append(raw.substr(from, at - from));
        const size_t taken = decodeOne(out, raw, at, attribute);
        if (taken == 0) {
            out += '&';
            from = at + 1;
        } else {
            from = at + taken;
        }
    }
}

namespace {

// Appends bytes escaped; false (with out as it was) when they are not valid UTF-8 or hold a zero byte.
bool appendEscapedClean(std::string &out, std::string_view bytes, bool keepLineFeeds)
{
    const size_t mark = out.size();
    const char *data = bytes.data();
    size_t begin = 0;
    const size_t end = bytes.size();
    while (begin < end && FormatText::isSpace(data[begin]))
        appendNumeric(out, static_cast<unsigned char>(data[begin++]));
    size_t trailing = end;
    while (trailing > begin && FormatText::isSpace(data[trailing - 1]))
        --trailing;
    size_t span = begin;
    for (size_t i = ByteScan::findMarkupSpecial(data, begin, trailing); i < trailing;
         i = ByteScan::findMarkupSpecial(data, i, trailing)) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c >= 0x80) {
            const size_t length
                = ByteScan::utf8SequenceLength(reinterpret_cast<const unsigned char *>(data) + i, trailing - i);
            if (length == 0) {
                out.resize(mark);
                return false;
            }
            i += length;
            continue;
        }
        if (c == 0) {
            out.resize(mark);
            return false;
        }
        if (keepLineFeeds && c == '\n') {
            ++i;
            continue;
        }
        out.append(data + span, i - span);
        if (const char *named = namedEscape(static_cast<char>(c)))
            out += named;
        else
            appendNumeric(out, c);
        span = ++i;
    }
    out.append(data + span, trailing - span);
    for (size_t i = trailing; i < end; ++i)
        appendNumeric(out, static_cast<unsigned char>(data[i]));
    return true;
}

} // namespace

void appendEscaped(std::string &out, std::string_view bytes, bool keepLineFeeds)
{
    if (!appendEscapedClean(out, bytes, keepLineFeeds))
        appendEscapedClean(out, FormatText::toUtf8(bytes), keepLineFeeds);
}

} // namespace HtmlEntities
