#pragma once

#include <string>
#include <string_view>

// What else two addresses may differ in and still count as the same.
struct UrlKeyOptions
{
    bool ignoreFragment = false; // "#..." names a place on the page, not another page
    bool ignoreTracking = false; // utm_*, fbclid, gclid, mc_eid and igshid query parameters
    bool ignoreSchemeAndWww = false; // "http" equals "https", and "www.example.com" equals "example.com"
};

// The form of a URL that two links share exactly when they lead to the same page: the scheme and the host in
// lower case, the host in its ASCII (punycode) form, no default port, "/" for an empty path, percent escapes
// in upper case with the unreserved characters decoded, and what the options leave out. Made without
// building a QUrl, since it runs once per link of the collection.
class UrlKey
{
public:
    explicit UrlKey(UrlKeyOptions options = {}) : m_options(options) { }

    UrlKeyOptions options() const { return m_options; }

    // Writes the key of url into key, which is reused; false (and key empty) when url is empty or not a URL:
    // such links never have an equal.
    bool make(std::string_view url, std::string &key) const;
    // The key of url; empty when it is not a URL.
    std::string of(std::string_view url) const;

private:
    void appendAuthority(std::string_view scheme, std::string_view authority, std::string &key, bool &valid) const;
    void appendQuery(std::string_view query, std::string &key) const;

    UrlKeyOptions m_options;
};
