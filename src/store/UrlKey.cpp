#include "store/UrlKey.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <algorithm>

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

bool isAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    const char l = lower(c);
    return l >= 'a' && l <= 'f' ? l - 'a' + 10 : -1;
}

bool isUnreserved(unsigned char c)
{
    return isAlpha(static_cast<char>(c)) || isDigit(static_cast<char>(c)) || c == '-' || c == '.' || c == '_'
        || c == '~';
}

// Characters that mean the same escaped or not: the unreserved ones, and the marks that older rules counted
// with them and that browsers escape in some places only ("'" in a query).
bool isPlainWhenDecoded(unsigned char c)
{
    return isUnreserved(c) || c == '!' || c == '\'' || c == '(' || c == ')' || c == '*';
}

// Characters an address cannot hold as they are: browsers send them escaped, and "<" and "%3C" are one page.
bool isEscapedWhenRaw(unsigned char c)
{
    return c >= 0x7f || c <= ' ' || c == '%' || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`'
        || c == '{' || c == '|' || c == '}';
}

void appendEscaped(unsigned char c, std::string &out)
{
    out += '%';
    out += HexDigits[c >> 4];
    out += HexDigits[c & 0x0f];
}

// A path, query or fragment with its escapes in one form: "%7e" and "~" are the same character, "%c3%a9",
// "%C3%A9" and the raw bytes the same letter; blanks, control characters and what else no address holds as
// it is are escaped as browsers send them.
void appendPart(std::string_view part, std::string &out)
{
    for (size_t i = 0; i < part.size(); ++i) {
        const auto c = static_cast<unsigned char>(part[i]);
        if (c == '%' && i + 2 < part.size()) {
            const int high = hexValue(part[i + 1]);
            const int low = hexValue(part[i + 2]);
            if (high >= 0 && low >= 0) {
                const auto decoded = static_cast<unsigned char>(high * 16 + low);
                if (isPlainWhenDecoded(decoded))
                    out += static_cast<char>(decoded);
                else
                    appendEscaped(decoded, out);
                i += 2;
                continue;
            }
        }
        // A "%" that starts no escape stands for itself.
        if (isEscapedWhenRaw(c))
            appendEscaped(c, out);
        else
            out += static_cast<char>(c);
    }
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

bool isTrackingParameter(std::string_view name)
{
    if (name.size() > 4 && equalsIgnoringCase(name.substr(0, 4), "utm_"))
        return true;
    for (std::string_view tracker : {"fbclid", "gclid", "mc_eid", "igshid"}) {
        if (equalsIgnoringCase(name, tracker))
            return true;
    }
    return false;
}

// The schemes whose addresses browsers read as a host and a path of folders, with "\\" for "/".
bool isSpecial(std::string_view scheme)
{
    for (std::string_view special : {"http", "https", "ws", "wss", "ftp", "file"}) {
        if (scheme == special)
            return true;
    }
    return false;
}

// Resolves the "." and ".." folders of the path that begins at start and runs to the end of key, in place, as
// browsers do before they send it: "/a/../b" is "/b", "/a/." is "/a/", and nothing goes above the top.
void removeDotSegments(std::string &key, size_t start)
{
    const size_t end = key.size();
    size_t out = start;
    for (size_t in = start; in < end;) {
        size_t next = key.find('/', in + 1);
        if (next == std::string::npos)
            next = end;
        const std::string_view segment(key.data() + in + 1, next - in - 1);
        if (segment == "." || segment == "..") {
            if (segment == "..") {
                while (out > start && key[out - 1] != '/')
                    --out;
                if (out > start)
                    --out;
            }
            if (next == end)
                key[out++] = '/';
        } else {
            if (out != in)
                std::copy(key.begin() + std::ptrdiff_t(in), key.begin() + std::ptrdiff_t(next),
                          key.begin() + std::ptrdiff_t(out));
            out += next - in;
        }
        in = next;
    }
    if (out == start)
        key[out++] = '/';
    key.resize(out);
}

std::string_view defaultPort(std::string_view scheme)
{
    if (scheme == "http" || scheme == "ws")
        return "80";
    if (scheme == "https" || scheme == "wss")
        return "443";
    if (scheme == "ftp")
        return "21";
    return {};
}

bool needsAce(std::string_view host)
{
    for (const char c : host) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == '%')
            return true;
    }
    return false;
}

// A name, or an address in brackets; a colon or a bracket anywhere else is no host.
bool isHost(std::string_view host)
{
    if (host.starts_with('[')) {
        const size_t close = host.find(']');
        return close == host.size() - 1;
    }
    return host.find_first_of(":[]") == std::string_view::npos;
}

} // namespace

std::string UrlKey::of(std::string_view url) const
{
    std::string key;
    make(url, key);
    return key;
}

bool UrlKey::make(std::string_view url, std::string &key) const
{
    key.clear();
    while (!url.empty() && static_cast<unsigned char>(url.front()) <= ' ')
        url.remove_prefix(1);
    while (!url.empty() && static_cast<unsigned char>(url.back()) <= ' ')
        url.remove_suffix(1);

    // A scheme of one letter is a drive ("C:\..."), not a URL.
    size_t colon = 0;
    while (colon < url.size() && url[colon] != ':') {
        const char c = url[colon];
        if (!(isAlpha(c) || (colon > 0 && (isDigit(c) || c == '+' || c == '-' || c == '.'))))
            return false;
        ++colon;
    }
    if (colon == url.size() || colon < 2)
        return false;
    for (size_t i = 0; i < colon; ++i)
        key += lower(url[i]);
    const std::string scheme = key;
    if (m_options.ignoreSchemeAndWww && key == "https")
        key = "http";
    key += ':';

    std::string_view rest = url.substr(colon + 1);
    const size_t partEnd = rest.find_first_of("?#");
    std::string_view beforeQuery = rest.substr(0, partEnd);
    // Browsers read "\\" as "/" up to the query in the addresses of the web and of files.
    std::string slashed;
    if (isSpecial(scheme) && beforeQuery.find('\\') != std::string_view::npos) {
        slashed.assign(beforeQuery);
        std::replace(slashed.begin(), slashed.end(), '\\', '/');
        beforeQuery = slashed;
    }
    bool valid = true;
    const bool hasAuthority = beforeQuery.starts_with("//");
    if (hasAuthority) {
        const size_t pathStart = beforeQuery.find('/', 2);
        const std::string_view authority
            = beforeQuery.substr(2, pathStart == std::string_view::npos ? std::string_view::npos : pathStart - 2);
        appendAuthority(scheme, authority, key, valid);
        if (!valid) {
            key.clear();
            return false;
        }
        beforeQuery = pathStart == std::string_view::npos ? std::string_view() : beforeQuery.substr(pathStart);
        if (beforeQuery.empty())
            key += '/';
    }
    const size_t pathStart = key.size();
    appendPart(beforeQuery, key);
    // Only a path behind a host: without one, a path that became "//x" would read as the host x.
    if (hasAuthority && key.find("/.", pathStart) != std::string::npos)
        removeDotSegments(key, pathStart);

    if (partEnd == std::string_view::npos)
        return true;
    rest = rest.substr(partEnd);
    const size_t hash = rest.find('#');
    if (rest.front() == '?')
        appendQuery(rest.substr(1, hash == std::string_view::npos ? std::string_view::npos : hash - 1), key);
    if (hash != std::string_view::npos && !m_options.ignoreFragment) {
        key += '#';
        appendPart(rest.substr(hash + 1), key);
    }
    return true;
}

void UrlKey::appendAuthority(std::string_view scheme, std::string_view authority, std::string &key, bool &valid) const
{
    key += "//";
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        appendPart(authority.substr(0, at + 1), key);
        authority.remove_prefix(at + 1);
    }
    std::string_view host = authority;
    std::string_view port;
    const size_t bracket = authority.find(']');
    const size_t portColon = authority.rfind(':');
    if (portColon != std::string_view::npos && (bracket == std::string_view::npos || portColon > bracket)) {
        host = authority.substr(0, portColon);
        port = authority.substr(portColon + 1);
    }
    for (const char c : port) {
        if (!isDigit(c)) {
            valid = false;
            return;
        }
    }
    while (port.size() > 1 && port.front() == '0')
        port.remove_prefix(1);
    if (port == defaultPort(scheme))
        port = {};

    const size_t hostStart = key.size();
    if (needsAce(host)) {
        // An international name and its punycode are the same host: compare the ASCII form.
        const QByteArray ace = QUrl::toAce(QUrl::fromPercentEncoding(QByteArray(host.data(), qsizetype(host.size()))));
        if (ace.isEmpty()) {
            valid = false;
            return;
        }
        key.append(ace.constData(), size_t(ace.size()));
    } else {
        key.append(host);
    }
    for (size_t i = hostStart; i < key.size(); ++i)
        key[i] = lower(key[i]);
    if (!isHost(std::string_view(key).substr(hostStart))) {
        valid = false;
        return;
    }
    if (m_options.ignoreSchemeAndWww && std::string_view(key).substr(hostStart).starts_with("www."))
        key.erase(hostStart, 4);
    if (key.size() == hostStart && scheme != "file") {
        valid = false;
        return;
    }
    if (!port.empty()) {
        key += ':';
        key.append(port);
    }
}

void UrlKey::appendQuery(std::string_view query, std::string &key) const
{
    if (!m_options.ignoreTracking) {
        key += '?';
        appendPart(query, key);
        return;
    }
    // The other parameters keep their order; a query of trackers alone goes altogether. A parameter is
    // known by its name as the key writes it, so that "utm%5fsource" is "utm_source" as well.
    bool first = true;
    while (true) {
        const size_t amp = query.find('&');
        const std::string_view parameter = query.substr(0, amp);
        if (!parameter.empty()) {
            const size_t start = key.size();
            key += first ? '?' : '&';
            appendPart(parameter, key);
            const std::string_view written = std::string_view(key).substr(start + 1);
            if (isTrackingParameter(written.substr(0, written.find('='))))
                key.resize(start);
            else
                first = false;
        }
        if (amp == std::string_view::npos)
            break;
        query.remove_prefix(amp + 1);
    }
}
