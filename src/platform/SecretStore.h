#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Where passwords are kept: the desktop's secret store, never a file in clear. Reading and writing
// take their time (the store may ask the user to unlock it); each ends by calling its done function,
// on this thread, with an error in words when it failed.
class SecretStore : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(const QString &secret, const QString &error)>;

    using QObject::QObject;

    // An empty secret, and no error, when the store holds none under key.
    virtual void read(const QString &key, Done done) = 0;
    // An empty secret removes the one kept under key.
    virtual void write(const QString &key, const QString &secret, Done done) = 0;
};

// The desktop's own store (the Secret Service of the session, or its equivalent elsewhere), for the
// service "Quillmark".
class DesktopSecretStore : public SecretStore
{
    Q_OBJECT
public:
    using SecretStore::SecretStore;

    void read(const QString &key, Done done) override;
    void write(const QString &key, const QString &secret, Done done) override;
};
