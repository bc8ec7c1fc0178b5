#include "formats/UniqueFileNames.h"

void UniqueFileNames::insert(const QString &name)
{
    m_taken.insert(name.toLower());
}

QString UniqueFileNames::take(const QString &base, const QString &extension)
{
    QString name = base + extension;
    if (m_taken.contains(name.toLower())) {
        // Twins that differ in case meet the same numbered names, so they count on together.
        int &number = m_nextNumber[extension.toLower() + QLatin1Char('/') + base.toLower()];
        number = qMax(number, 2);
        do
            name = base + QStringLiteral(" (%1)").arg(number++) + extension;
        while (m_taken.contains(name.toLower()));
    }
    m_taken.insert(name.toLower());
    return name;
}
