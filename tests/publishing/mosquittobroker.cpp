#include "mosquittobroker.h"

#include <QDeadlineTimer>
#include <QFileInfo>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString program = QStringLiteral("/usr/sbin/mosquitto");

int pickFreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool writeFile(const QString &path, const QByteArray &text,
               QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
           file.setPermissions(permissions);
}

} // namespace

MosquittoBroker::MosquittoBroker(const Config &config) : config(config), freePort(pickFreePort())
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(dir.path());
}

bool MosquittoBroker::available()
{
    return QFileInfo(program).isExecutable();
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
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished();
    log += process.readAll();
}
