#include "shell/Program.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    // The project's version and build number, "1.0.0.1", as the about box shows it: "1.0.0 Build 1".
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    return RunQuillmark(argc, argv);
}
