#include "store/ImportExport.h"

ImportExport::ImportExport(QIODevice *stream) : m_stream(stream) { }

ImportExport::~ImportExport() = default;

void ImportExport::setError(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
}
