#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

// A JSON document of one object whose array member holds many entries, cut into pieces without parsing it, so
// that a large one can be parsed a run of entries at a time and the parsing stopped between two runs. Only the
// layout is found here: each piece still has to parse, and the document is valid JSON exactly when every one of
// them does.
struct JsonEntryRuns
{
    // The object without the array member: "{...}" with the other members.
    QByteArray rest;
    // The array's entries, a run of whole entries each: the text from its first entry to its last, which
    // parses once put in brackets. How many entries each run holds.
    std::vector<QByteArrayView> runs;
    std::vector<qsizetype> counts;

    // Cuts bytes (which must outlive the runs) into runs of about runBytes each, the array being the value of
    // the member named arrayKey. None when bytes are laid out otherwise (not an object, the key written with
    // escapes or twice, the member not an array, bytes after the object): such a document is parsed whole.
    static std::optional<JsonEntryRuns> cut(const QByteArray &bytes, QByteArrayView arrayKey, qsizetype runBytes);
};
