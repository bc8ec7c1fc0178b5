#include "platform/SecretStore.h"

#include <qt6keychain/keychain.h>

namespace {

const QString Service = QStringLiteral("Quillmark");

// Never falls back on a file in clear when the desktop has no store.
template<typename Job> Job *makeJob(const QString &key, QObject *parent)
{
    auto *job = new Job(Service, parent);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(key);
    return job;
}

} // namespace

void DesktopSecretStore::read(const QString &key, Done done)
{
    auto *job = makeJob<QKeychain::ReadPasswordJob>(key, this);
    connect(job, &QKeychain::Job::finished, this, [job, done = std::move(done)] {
        if (job->error() == QKeychain::NoError)
            done(job->textData(), {});
        else if (job->error() == QKeychain::EntryNotFound)
            done({}, {});
        else
            done({}, job->errorString());
    });
    job->start();
}

void DesktopSecretStore::write(const QString &key, const QString &secret, Done done)
{
    QKeychain::Job *job = nullptr;
    if (secret.isEmpty()) {
        job = makeJob<QKeychain::DeletePasswordJob>(key, this);
    } else {
        auto *writing = makeJob<QKeychain::WritePasswordJob>(key, this);
        writing->setTextData(secret);
        job = writing;
    }
    connect(job, &QKeychain::Job::finished, this, [job, done = std::move(done)] {
        const bool ok = job->error() == QKeychain::NoError || job->error() == QKeychain::EntryNotFound;
        done({}, ok ? QString() : job->errorString());
    });
    job->start();
}
