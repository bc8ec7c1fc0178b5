#pragma once

#include <QString>

#include <functional>

class QFileDevice;

// Copies outside data into a file of our own without trusting it: only a regular file is read (a FIFO
// would hold the copy for ever, a device such as /dev/zero never ends), never more than a given number of
// bytes, and a full disk is named as such.
namespace BoundedCopy {

enum class Result {
    Copied,
    NotRegular, // no regular file, or none at all
    TooLarge, // more than maxBytes
    Stopped, // keepGoing said no
    Failed, // reading or writing failed; the message says which and why
};

// Copies the regular file at from to the end of target, which is open for writing, and flushes target.
// keepGoing, when given, is asked between pieces. Anything but Copied sets error.
Result copy(const QString &from, QFileDevice &target, qint64 maxBytes, const std::function<bool()> &keepGoing,
            QString *error);

} // namespace BoundedCopy
