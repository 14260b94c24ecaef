#include "mosquittobroker.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTcpServer>
#include <QTest>

namespace {

const QString program = QStringLiteral("/usr/sbin/mosquitto");

bool writeFile(const QString &path, const QByteArray &text,
               QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
           file.setPermissions(permissions);
}

} // namespace

MosquittoBroker::MosquittoBroker(const Config &config) : config(config)
{
    QTcpServer probe; // a port that nothing listens on
    freePort = probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(dir.path());
}

void MosquittoBroker::skipUnlessInstalled()
{
    if (!QFileInfo(program).isExecutable())
        QSKIP("Debian's mosquitto broker (/usr/sbin/mosquitto) is not installed");
}

QString MosquittoBroker::credentialsFile(const QByteArray &text, QFile::Permissions permissions)
{
    const QString path = dir.filePath(QString("credentials%1").arg(++files));
    return writeFile(path, text, permissions) ? path : QString();
}

QString MosquittoBroker::url(bool tls) const
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(tls ? "mqtts" : "mqtt").arg(freePort);
}

bool MosquittoBroker::run(const QStringList &command)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.setWorkingDirectory(dir.path());
    tool.start(command.first(), command.mid(1));
    const bool ok = tool.waitForFinished(60000) && tool.exitCode() == 0;
    if (!ok)
        log += command.first() + ": " + tool.readAll();
    return ok;
}

bool MosquittoBroker::writeConfig()
{
    // The server's certificate is its own CA.
    if (config.tls && !run({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                            "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", "server.key",
                            "-out", "server.crt", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                            "subjectAltName=IP:127.0.0.1,DNS:localhost"}))
        return false;
    if (config.password && !run({"mosquitto_passwd", "-b", "-c", "passwords", "bench", "secret"}))
        return false;
    // Files named without a folder are the broker's, its working directory.
    const QString text =
        QStringLiteral("listener %1 127.0.0.1\nlog_dest stderr\nuser root\nmax_queued_messages 0\n"
                       "persistence %2\npersistence_location %3/\nallow_anonymous %4\n")
            .arg(freePort)
            .arg(config.persistent ? "true" : "false", dir.path(),
                 config.password ? "false" : "true") +
        (config.password ? "password_file passwords\n" : "") +
        (config.tls ? "cafile server.crt\ncertfile server.crt\nkeyfile server.key\n" : "");
    return writeFile(dir.filePath("mosquitto.conf"), text.toUtf8());
}

bool MosquittoBroker::start()
{
    if (!QFileInfo::exists(dir.filePath("mosquitto.conf")) && !writeConfig())
        return false;
    // It says "running" once its listener is open.
    const int said = log.size();
    process.start(program, {"-c", dir.filePath("mosquitto.conf")});
    const QDeadlineTimer deadline(longWait);
    while (log.indexOf(" running", said) < 0) {
        const bool more = process.waitForReadyRead(int(deadline.remainingTime()));
        log += process.readAll();
        if (!more)
            return false;
    }
    return true;
}

void MosquittoBroker::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished();
    log += process.readAll();
}
