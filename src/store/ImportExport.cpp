#include "store/ImportExport.h"

TImportExport::TImportExport(QIODevice *stream) : m_stream(stream) {}

TImportExport::~TImportExport() = default;

void TImportExport::setError(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
}
