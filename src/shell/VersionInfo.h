#pragma once

#include <QString>

// Reads the file version of a program file from the fixed part of its version resource: the VS_VERSIONINFO block
// and the VS_FIXEDFILEINFO it holds (the product version and the string table are not read). Every build of
// Quillmark carries such a block with the project's version, so the program reads its own version from its file.
class VersionInfo
{
public:
    QString FileName() const { return m_fileName; }
    // Stores the name and reads the version at once. False when the file has no readable version block: the four
    // numbers are then 0 and errorString() holds "Can't get file version information for " and the name as given.
    bool setFileName(const QString &name);

    // The high and low 16 bits of the most significant half of the file version, then of the least significant
    // half; 0 until a file has been read.
    int Major1() const { return m_major1; }
    int Major2() const { return m_major2; }
    int Minor1() const { return m_minor1; }
    int Minor2() const { return m_minor2; }

    QString errorString() const { return m_error; }

private:
    QString m_fileName;
    QString m_error;
    int m_major1 = 0;
    int m_major2 = 0;
    int m_minor1 = 0;
    int m_minor2 = 0;
};
