#include "formats/BrowserUrl.h"

#include "formats/FormatText.h"

#include <QByteArray>

#include <algorithm>

namespace BrowserUrl {

namespace {

bool isAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isDrivePath(std::string_view text)
{
    return text.size() >= 3 && isAlpha(text[0]) && text[1] == ':' && (text[2] == '\\' || text[2] == '/');
}

// A path as the part of a file URL after "file://": backslashes become slashes, and what a URL cannot
// hold as it is (blanks, "%", "#", "?", bytes beyond ASCII as UTF-8) is percent-encoded.
std::string encodedPath(std::string_view path)
{
    std::string text = FormatText::toUtf8(path);
    for (char &c : text) {
        if (c == '\\')
            c = '/';
    }
    return QByteArray::fromStdString(text).toPercentEncoding("/:~!$&'()*+,;=@").toStdString();
}

// "www.example.com/x", "localhost:8080", "192.168.1.1/admin": the text begins with a host name that
// has a dot, or is localhost, or has a port. A relative reference ("?q=1", "notes") is none.
bool startsWithHost(std::string_view text)
{
    const size_t end = std::min(text.find_first_of("/?#"), text.size());
    std::string_view host = text.substr(0, end);
    bool port = false;
    if (const size_t colon = host.rfind(':'); colon != std::string_view::npos) {
        const std::string_view digits = host.substr(colon + 1);
        if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isDigit))
            return false;
        port = true;
        host = host.substr(0, colon);
    }
    if (host.empty() || host.front() == '.' || host.front() == '-')
        return false;
    for (char c : host) {
        if (!isAlpha(c) && !isDigit(c) && c != '-' && c != '.')
            return false;
    }
    return port || host.find('.') != std::string_view::npos || FormatText::equalsIgnoringCase(host, "localhost");
}

} // namespace

bool hasScheme(std::string_view address)
{
    if (address.empty() || !isAlpha(address[0]))
        return false;
    size_t colon = 1;
    while (colon < address.size()
           && (isAlpha(address[colon]) || isDigit(address[colon]) || address[colon] == '+' || address[colon] == '-'
               || address[colon] == '.'))
        ++colon;
    if (colon >= address.size() || address[colon] != ':' || isDrivePath(address))
        return false;
    // "localhost:8080/x" is a host and a port, not a scheme.
    size_t digits = colon + 1;
    while (digits < address.size() && isDigit(address[digits]))
        ++digits;
    const bool port = digits > colon + 1 && (digits == address.size() || address[digits] == '/');
    return !port;
}

std::string forBrowsers(std::string_view address)
{
    const std::string_view text = FormatText::trimmed(address);
    if (text.empty() || hasScheme(text))
        return std::string(address);
    if (text.substr(0, 2) == "\\\\")
        return "file://" + encodedPath(text.substr(2));
    if (isDrivePath(text))
        return "file:///" + encodedPath(text);
    if (text.front() == '/' && text.substr(0, 2) != "//")
        return "file://" + encodedPath(text);
    if (text.substr(0, 2) == "//")
        return startsWithHost(text.substr(2)) ? "http:" + std::string(text) : std::string(address);
    return startsWithHost(text) ? "http://" + std::string(text) : std::string(address);
}

bool isToolbarName(std::string_view name)
{
    static constexpr std::string_view Names[] = {
        "Bookmarks Toolbar", "Bookmarks Toolbar Folder", "Personal Toolbar Folder", "Bookmarks bar",
        "Favorites bar",     "Favourites bar",
    };
    const std::string_view text = FormatText::trimmed(name);
    for (std::string_view known : Names) {
        if (FormatText::equalsIgnoringCase(text, known))
            return true;
    }
    return false;
}

} // namespace BrowserUrl
