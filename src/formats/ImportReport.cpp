#include "formats/ImportReport.h"

#include <QCoreApplication>

namespace {
constexpr qsizetype MaxProblems = 10;
}

void ImportReport::damage(const QString &problem)
{
    if (status == Complete)
        status = Damaged;
    if (problems.size() < MaxProblems && !problems.contains(problem))
        problems << problem;
}

void ImportReport::fail(const QString &problem)
{
    status = Unreadable;
    problems << problem;
}

void ImportReport::cancel()
{
    status = Cancelled;
    problems << QCoreApplication::translate("ImportReport", "The import was cancelled.");
}
