#pragma once

#include <QString>

// How a command of quillmark-tool opens a collection file, and what it does when the file is not there,
// cannot be read whole or is held by a running Quillmark. Every command takes one of OpenPolicies below.
struct OpenPolicy
{
    enum class Missing {
        Refuse, // a file that is not there cannot be opened, as any other
        Empty, // an empty collection; saving creates the file (the program's own in a private folder)
    };
    enum class Damaged {
        UseWhatWasRead, // say so and go on; the command ends with DataDamaged
        Refuse, // leave the file alone and do nothing
    };
    enum class Access {
        Read, // never written back, so a running Quillmark does not matter
        Change, // held against Quillmark while the command runs: refused while Quillmark runs with it
    };
    enum class Contents {
        Read, // the collection is read
        Replaced, // the file is replaced whole by another, which the command reads itself
    };
    enum class Top {
        RootFolder, // the root folder the program starts from, kept when the file holds nothing
        Blank, // an empty item, for any collection file
    };

    Missing missing = Missing::Refuse;
    Damaged damaged = Damaged::UseWhatWasRead;
    Access access = Access::Read;
    Contents contents = Contents::Read;
    Top top = Top::RootFolder;

    // What is said on standard error, one message a line; %1 is the file, %2 what went wrong. A newer
    // format, or one too large to hold, reads nothing: it is always refused.
    QString cannotOpen = QStringLiteral("Cannot open file %1: %2");
    QString damagedText = QStringLiteral("warning: %1 is damaged; only part of it was read: %2");
    QString newerText = QStringLiteral("%1: %2");
    QString busyText; // %1 only
    QString cannotBackUp = QStringLiteral("Cannot keep a backup of %1: %2; nothing was changed.");
    QString cannotWrite = QStringLiteral("Cannot create file %1: %2");
};

// The policy of each command.
namespace OpenPolicies {

// dump without a file: the user's data file, which may not be there yet.
OpenPolicy dumpDataFile();
// dump FILE and convert's IN: any collection file, read as far as it goes.
OpenPolicy anyFile();
// export and check: read as far as it goes.
OpenPolicy readAsFarAsItGoes();
// duplicates: only a file read whole.
OpenPolicy readWhole();
// import, of a file or a browser profile: added to, so only a file read whole; created when missing.
OpenPolicy importInto();
// dedupe: changed, so only a file read whole.
OpenPolicy dedupe();
// sync: changed, so only a file read whole; created when missing.
OpenPolicy sync();
// restore: replaced by a backup.
OpenPolicy restore();

} // namespace OpenPolicies
