#include "mosquittobroker.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

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

bool accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

} // namespace

MosquittoBroker::MosquittoBroker(const Config &config) : config(config), freePort(pickFreePort())
{
    process.setProcessChannelMode(QProcess::MergedChannels);
}

MosquittoBroker::~MosquittoBroker()
{
    stop();
}

bool MosquittoBroker::available()
{
    return QFileInfo(program()).isExecutable();
}

bool MosquittoBroker::run(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.setWorkingDirectory(dir.path());
    tool.start(program, arguments);
    const bool ok = tool.waitForFinished(60000) && tool.exitCode() == 0;
    if (!ok)
        log += program + ": " + tool.readAll();
    return ok;
}

bool MosquittoBroker::writeConfig()
{
    QString text = QStringLiteral("listener %1 127.0.0.1\nlog_dest stdout\nuser root\n"
                                  "max_queued_messages 0\n")
                       .arg(freePort);
    text += config.persistent
                ? QStringLiteral("persistence true\npersistence_location %1/\n").arg(dir.path())
                : QStringLiteral("persistence false\n");
    if (config.password) {
        if (!run("mosquitto_passwd", {"-b", "-c", path("passwords"), "bench", "secret"}))
            return false;
        text += QStringLiteral("allow_anonymous false\npassword_file %1\n").arg(path("passwords"));
    } else {
        text += QStringLiteral("allow_anonymous true\n");
    }
    if (config.tls) {
        QFile ext(path("server.ext"));
        if (!ext.open(QIODevice::WriteOnly) ||
            !ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n"))
            return false;
        ext.close();
        const QStringList ec{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
        if (!run("openssl", QStringList{"req", "-x509"} + ec +
                                QStringList{"-keyout", "ca.key", "-out", "ca.crt", "-days", "2",
                                            "-subj", "/CN=Korvanta test CA"}) ||
            !run("openssl", QStringList{"req"} + ec +
                                QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj",
                                            "/CN=127.0.0.1"}) ||
            !run("openssl",
                 {"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                  "-CAcreateserial", "-out", "server.crt", "-days", "2", "-extfile", "server.ext"}))
            return false;
        text += QStringLiteral("cafile %1\ncertfile %2\nkeyfile %3\n")
                    .arg(caFile(), path("server.crt"), path("server.key"));
    }
    QFile file(path("mosquitto.conf"));
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

bool MosquittoBroker::start()
{
    if (!QFileInfo::exists(path("mosquitto.conf")) && !writeConfig())
        return false;
    process.start(program(), {"-c", path("mosquitto.conf")});
    if (!process.waitForStarted())
        return false;
    const QDeadlineTimer deadline(30000);
    while (!accepts(freePort)) {
        if (deadline.hasExpired() || process.waitForFinished(50)) {
            log += process.readAll();
            return false;
        }
    }
    return true;
}

void MosquittoBroker::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
    log += process.readAll();
}
