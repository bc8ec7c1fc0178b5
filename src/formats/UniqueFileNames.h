#pragma once

#include <QHash>
#include <QSet>
#include <QString>

// The names in one directory, compared in any case, and the names new entries get there: a name that
// would meet one of them is numbered " (2)", " (3)"..., the first number that is free.
class UniqueFileNames
{
public:
    // A name that is in the directory already.
    void insert(const QString &name);
    // base + extension, numbered when need be; the name counts as taken from now on.
    QString take(const QString &base, const QString &extension);

private:
    QSet<QString> m_taken; // folded to lower case
    // For a base and extension folded to lower case, the number to try first: every number below it
    // was taken when it was last tried, so a thousand twins do not each try a thousand numbers.
    QHash<QString, int> m_nextNumber;
};
