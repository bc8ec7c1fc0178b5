// Runs one copy of the single-instance guard for tst_singleinstance: prints "primary", "handedover" or "noanswer" at
// once and, as the primary, "activated" when another copy hands over to it, then ends.
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {
void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SingleInstance instance;
    switch (instance.start()) {
    case SingleInstance::Role::HandedOver:
        say("handedover");
        return 0;
    case SingleInstance::Role::NoAnswer:
        say("noanswer");
        return 1;
    case SingleInstance::Role::Primary:
        break;
    }
    say("primary");
    QObject::connect(&instance, &SingleInstance::activationRequested, &app, [] {
        say("activated");
        QCoreApplication::quit();
    });
    QTimer::singleShot(60000, &app, [] { QCoreApplication::exit(3); }); // never outlive a failed test
    return app.exec();
}
