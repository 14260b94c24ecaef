#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// How long the publishing tests wait for a broker, a connection or a program.
constexpr int longWait = 30000;

// Debian's mosquitto on 127.0.0.1, on a free port that stays its own across
// restarts, with a configuration written for the test.
class MosquittoBroker
{
public:
    struct Config
    {
        bool password = false;   // only user "bench", password "secret"
        bool tls = false;        // a throw-away self-signed certificate
        bool persistent = false; // keeps sessions across a restart
    };

    MosquittoBroker() : MosquittoBroker(Config()) {}
    explicit MosquittoBroker(const Config &config);
    ~MosquittoBroker() { stop(); }

    // Called from initTestCase(), skips all test functions without the broker.
    static void skipUnlessInstalled();

    bool start();
    void stop();
    int port() const { return freePort; }
    QString url(bool tls = false) const;
    // The certificate that a TLS client must trust.
    QString caFile() const { return dir.filePath("server.crt"); }
    QString output() const { return log; }
    // A credentials file of the given text in the broker's folder, the next
    // one on each call; empty when it cannot be written.
    QString credentialsFile(const QByteArray &text,
                            QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner);

private:
    bool run(const QStringList &command);
    bool writeConfig();

    Config config;
    QTemporaryDir dir;
    int freePort = 0;
    int files = 0;
    QProcess process;
    QString log;
};
