#include "Commands.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillmark-tool"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    return Commands::run(QCoreApplication::arguments().mid(1));
}
