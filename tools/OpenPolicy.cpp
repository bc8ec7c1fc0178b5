#include "OpenPolicy.h"

namespace OpenPolicies {

namespace {
using Missing = OpenPolicy::Missing;
using Damaged = OpenPolicy::Damaged;
using Access = OpenPolicy::Access;

// The message of a command that would be written over by a running Quillmark when it ends.
QString busy(const QString &change, const QString &advice)
{
    return QStringLiteral("Quillmark is running and holds %1; it would write over %2 when it ends. %3")
        .arg(QStringLiteral("%1"), change, advice);
}
} // namespace

OpenPolicy dumpDataFile()
{
    OpenPolicy policy;
    policy.missing = Missing::Empty;
    return policy;
}

OpenPolicy anyFile()
{
    OpenPolicy policy;
    policy.top = OpenPolicy::Top::Blank;
    return policy;
}

OpenPolicy readAsFarAsItGoes()
{
    return {};
}

OpenPolicy readWhole()
{
    OpenPolicy policy;
    policy.damaged = Damaged::Refuse;
    policy.damagedText = policy.newerText = QStringLiteral("%1 cannot be read whole: %2");
    return policy;
}

OpenPolicy importInto()
{
    OpenPolicy policy;
    policy.missing = Missing::Empty;
    // What could not be read would be lost if the file were written back.
    policy.damaged = Damaged::Refuse;
    policy.access = Access::Change;
    const QString leftAlone = QStringLiteral("\n%1 was left alone; nothing was imported.");
    policy.damagedText += leftAlone;
    policy.newerText += leftAlone;
    policy.busyText = busy(QStringLiteral("the import"), QStringLiteral("Exit Quillmark, then import again."));
    return policy;
}

OpenPolicy dedupe()
{
    OpenPolicy policy = readWhole();
    policy.access = Access::Change;
    const QString leftAlone = QStringLiteral("\n%1 was left alone.");
    policy.cannotOpen += leftAlone;
    policy.damagedText += leftAlone;
    policy.newerText += leftAlone;
    policy.busyText = busy(QStringLiteral("the change"), QStringLiteral("Exit Quillmark, then run dedupe again."));
    return policy;
}

OpenPolicy sync()
{
    OpenPolicy policy;
    policy.missing = Missing::Empty;
    // Syncing what could be read would delete the rest on the server.
    policy.damaged = Damaged::Refuse;
    policy.access = Access::Change;
    policy.damagedText = policy.newerText = QStringLiteral("%1: %2; it was left alone and nothing was synced.");
    policy.busyText = busy(QStringLiteral("the sync"), QStringLiteral("Exit Quillmark, or sync from its window."));
    // The sync reports these itself.
    policy.cannotBackUp = QStringLiteral("%2");
    policy.cannotWrite = QStringLiteral("Cannot write %1: %2");
    return policy;
}

OpenPolicy restore()
{
    OpenPolicy policy;
    policy.access = Access::Change;
    policy.contents = OpenPolicy::Contents::Replaced;
    policy.busyText
        = busy(QStringLiteral("the restored collection"), QStringLiteral("Exit Quillmark, then restore again."));
    return policy;
}

} // namespace OpenPolicies
