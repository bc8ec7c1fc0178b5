#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Looks values up in text of INI syntax (Internet shortcut files) the way the system's profile-string
// lookup does:
// - a section starts at a line whose first non-blank character is "[" and is named by the text up to
//   the last "]" of the line; a line with "[" but no "]" changes nothing;
// - section and key names match without regard to case, blanks around them do not count;
// - only the first section of the name is searched, and in it the first line of the key decides: a line
//   without "=" gives the default;
// - the value loses the blanks around it and then one pair of enclosing quotes (" or '), and is cut at
//   a zero byte and to MaxValueLength bytes (never inside a UTF-8 character of a UTF-8 value).
// Text with a UTF-16 byte-order mark is read as UTF-16 and its values come back as UTF-8; a UTF-8
// byte-order mark is dropped. Anything else is taken as bytes.
class IniReader
{
public:
    static constexpr int MaxValueLength = 2047;
    // A file larger than this is not taken as INI text: its lookups give the default without reading it.
    static constexpr qint64 MaxFileSize = 1024 * 1024;

    explicit IniReader(QByteArray text);

    // The value of `key` in `section`, or defaultValue when the section or the key is missing.
    QByteArray value(QByteArrayView section, QByteArrayView key, const QByteArray &defaultValue) const;

    // Reads the file and looks the value up; a file that cannot be read, is too large or is no regular file
    // (a FIFO, a device: never opened, so the lookup cannot hang) gives the default.
    static QByteArray profileString(const QString &path, QByteArrayView section, QByteArrayView key,
                                    const QByteArray &defaultValue);

private:
    QByteArray m_text;
};
