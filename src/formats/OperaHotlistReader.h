#pragma once

#include "formats/ImportReport.h"
#include "store/Progress.h"

#include <QByteArray>

class LinkItem;
class QIODevice;

// Reads an Opera hotlist (.adr): after the line "Opera Hotlist version 2.0" (and an "Options:" line),
// blocks that start with "#FOLDER" or "#URL" and hold indented KEY=value lines (NAME, URL, DESCRIPTION,
// VISITED in seconds since 1970, and the visits and rating that our own export adds); a line "-"
// closes the folder opened last. Line breaks inside values are stored as the two bytes 02 02 and come
// back as "\n". Other blocks (separators, notes), the options line and unknown keys are passed over.
// Texts that are not UTF-8 (files of old versions) are read as Windows-1252.
class OperaHotlistReader
{
public:
    static constexpr char VisitsKey[] = "QUILLMARK VISITS";
    static constexpr char RatingKey[] = "QUILLMARK RATING";

    static ImportReport read(QIODevice &device, LinkItem &target, const Progress &progress = {});
    static ImportReport readBytes(const QByteArray &bytes, LinkItem &target, const Progress &progress = {});
};
