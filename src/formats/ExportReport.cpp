#include "formats/ExportReport.h"

#include <QCoreApplication>

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
    error = QCoreApplication::translate("ExportReport", "The export was cancelled.");
}
