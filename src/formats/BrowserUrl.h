#pragma once

#include <string>
#include <string_view>

// Addresses as browsers accept them in the bookmark files they import. A browser drops a bookmark whose
// address is a bare local path or has no scheme, so the exports for browsers write those as URLs; the
// collection keeps the text as it was typed.
namespace BrowserUrl {

// "/home/me/a.pdf" -> "file:///home/me/a.pdf", "C:\x\a.pdf" -> "file:///C:/x/a.pdf",
// "\\server\share\a" -> "file://server/share/a", "www.example.com" -> "http://www.example.com";
// an address with a scheme ("mailto:", "place:", "https://..."), an empty one and a relative reference
// that names no host ("?q=1", "notes") stay as they are.
std::string forBrowsers(std::string_view address);

// True when the text begins with a URL scheme ("https:", "about:"); "C:\..." and "host:8080" have none.
bool hasScheme(std::string_view address);

// The names browsers give their bookmarks toolbar folder; a folder of one of these names at the top of
// an export is written as the toolbar, so that the toolbar survives a round trip through a browser.
bool isToolbarName(std::string_view name);

} // namespace BrowserUrl
