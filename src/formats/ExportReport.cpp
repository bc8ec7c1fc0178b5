#include "formats/ExportReport.h"

void ExportReport::fail(const QString &message)
{
    if (status == Written) {
        status = Failed;
        error = message;
    }
}

void ExportReport::cancel()
{
    status = Cancelled;
    error = QStringLiteral("The export was cancelled.");
}
