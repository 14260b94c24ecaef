#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's mosquitto on 127.0.0.1, on a free port that stays its own across
// restarts, with a configuration written for the test.
class MosquittoBroker
{
public:
    struct Config
    {
        bool password = false;   // only user "bench", password "secret"
        bool tls = false;        // a throw-away CA signs the server's certificate
        bool persistent = false; // keeps sessions across a restart
    };

    explicit MosquittoBroker(const Config &config);
    ~MosquittoBroker();

    static QString program() { return QStringLiteral("/usr/sbin/mosquitto"); }
    static bool available();

    bool start();
    void stop();
    int port() const { return freePort; }
    // The throw-away CA's certificate of a TLS broker.
    QString caFile() const { return dir.filePath("ca.crt"); }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString output() const { return log; }

private:
    bool run(const QString &program, const QStringList &arguments);
    bool writeConfig();

    Config config;
    QTemporaryDir dir;
    int freePort = 0;
    QProcess process;
    QString log;
};
