#pragma once

#include <string_view>
#include <vector>

// Splits HTML into text, tags and comments, forgiving what hand-made and old bookmark files get
// wrong. One pass over the text, no recursion, views into the text (nothing is copied):
// - "<" that cannot start a tag is text;
// - a comment without its "-->" ends at the next ">";
// - a quoted attribute value whose closing quote lies beyond a line break followed by "<" is taken as
//   unterminated: it ends at the first ">" before that line break (the tag ends there), or else at
//   the line break;
// - a "<" where an attribute name should be ends the tag before it;
// - a tag or comment cut off by the end of the text ends there.
// repaired() tells whether the last token needed one of these repairs.
class HtmlTokenizer
{
public:
    enum class Kind { Text, StartTag, EndTag, Comment, Declaration, End };

    struct Attribute
    {
        std::string_view name;
        std::string_view value; // raw: character references are not decoded
    };

    explicit HtmlTokenizer(std::string_view html) : m_html(html) { }

    Kind next();

    Kind kind() const { return m_kind; }
    // The tag name as written (any case).
    std::string_view name() const { return m_name; }
    // The whole token as it stands in the text; for text, the text.
    std::string_view raw() const { return m_raw; }
    // The whole text being read.
    std::string_view html() const { return m_html; }
    // The attributes of the last start tag, in order.
    const std::vector<Attribute> &attributes() const { return m_attributes; }
    // The value of the first attribute of that name (any case), or none.
    bool attribute(std::string_view name, std::string_view &value) const;

    bool repaired() const { return m_repaired; }
    // Where the next token starts.
    size_t position() const { return m_position; }

private:
    void finish(Kind kind, size_t start, size_t end);
    bool startsMarkup(size_t at) const;
    size_t find(char c, size_t from) const;
    void readTagAttributes(size_t &i);
    void readComment(size_t start);
    void readDeclaration(size_t start);
    void readEndTag(size_t start);

    std::string_view m_html;
    size_t m_position = 0;
    Kind m_kind = Kind::End;
    std::string_view m_name;
    std::string_view m_raw;
    std::vector<Attribute> m_attributes;
    bool m_repaired = false;
    // Searches that found nothing: none of these lies at or after the position (a text full of broken
    // quotes or comments is still read in one pass).
    size_t m_noQuoteFrom[2] = {std::string_view::npos, std::string_view::npos};
    size_t m_noCommentEndFrom = std::string_view::npos;
};
