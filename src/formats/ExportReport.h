#pragma once

#include <QString>

// What an export wrote, or why it failed. A failed export leaves no partly written file behind.
struct ExportReport
{
    enum Status { Written, Failed, Cancelled };

    Status status = Written;
    int folders = 0; // items written below the exported folder
    int links = 0;
    QString error;

    bool ok() const { return status == Written; }
    bool hasError() const { return status != Written; }
    QString errorString() const { return error; }

    void fail(const QString &message);
    void cancel();
};
