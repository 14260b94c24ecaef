#include "mqttsession.h"

#include "homeassistantdiscovery.h"
#include "jsonlrecorder.h"

#include <QCoreApplication>

#include <mosquitto.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int keepAliveSeconds = 30;
constexpr int firstRetryMs = 1000;
constexpr int lastRetryMs = 30000;
// The network loop runs often while the broker owes an answer, and seldom
// otherwise: a publish is written at once, and only acknowledgements, the
// keep-alive and a lost connection are waited for. Each batch of readings
// runs it as well, so at full rate it rarely wakes the thread on its own.
constexpr int busyLoopMs = 25;
constexpr int idleLoopMs = 100;

MqttStatus::Problem problemOf(int rc)
{
    return rc == MOSQ_ERR_TLS ? MqttStatus::Tls : MqttStatus::Unreachable;
}

// A corked socket holds what is written until it is uncorked, so that a batch
// of messages leaves in a few segments instead of one each.
void cork(mosquitto *client, bool on)
{
    const int socket = mosquitto_socket(client);
    const int value = on ? 1 : 0;
    if (socket >= 0)
        setsockopt(socket, IPPROTO_TCP, TCP_CORK, &value, sizeof value);
}

} // namespace

MqttSession::MqttSession(const MqttOptions &options)
    : options(options), loopTimer(this), retryTimer(this), reportTimer(this)
{
    // The timers are children, so that they move to the session's thread with it.
    static const int initialised = mosquitto_lib_init();
    Q_UNUSED(initialised)
    connect(&loopTimer, &QTimer::timeout, this, &MqttSession::poll);
    connect(&retryTimer, &QTimer::timeout, this, &MqttSession::connectToBroker);
    connect(&reportTimer, &QTimer::timeout, this, &MqttSession::report);
    loopTimer.setInterval(busyLoopMs);
    retryTimer.setSingleShot(true);
    reportTimer.setInterval(250);
}

MqttSession::~MqttSession()
{
    closeClient();
}

void MqttSession::start()
{
    if (running)
        return;
    running = true;
    if (!clock.isValid())
        clock.start();
    retryDelayMs = firstRetryMs;
    reportTimer.start();
    connectToBroker();
}

void MqttSession::connectToBroker()
{
    closeClient();
    refusal.clear();
    tlsError.clear();
    setState(MqttStatus::Waiting, status.error, status.problem);
    const QByteArray clientId = "korvanta-" +
                                HomeAssistantDiscovery::topicLevel(options.bench).toUtf8() + '-' +
                                QByteArray::number(QCoreApplication::applicationPid());
    // A new client for each connection, so that libmosquitto resends nothing
    // of its own: the queue here decides what goes again.
    client = mosquitto_new(clientId.constData(), true, this);
    if (!client)
        return lose(QStringLiteral("out of memory"));
    mosquitto_connect_callback_set(client, &MqttSession::onConnect);
    mosquitto_publish_callback_set(client, &MqttSession::onPublish);
    mosquitto_message_callback_set(client, &MqttSession::onMessage);
    mosquitto_log_callback_set(client, &MqttSession::onLog);
    mosquitto_max_inflight_messages_set(client, window);
    const QByteArray statusTopic = HomeAssistantDiscovery::statusTopic(options);
    mosquitto_will_set(client, statusTopic.constData(), 7, "offline", 1, true);
    if (options.credentials) {
        mosquitto_username_pw_set(client, options.credentials->user.toUtf8().constData(),
                                  options.credentials->password.toUtf8().constData());
    }
    if (options.url.tls) {
        const QByteArray ca = options.caFile.toLocal8Bit();
        const QByteArray cert = options.certFile.toLocal8Bit();
        const QByteArray key = options.keyFile.toLocal8Bit();
        const int rc = mosquitto_tls_set(client, ca.isEmpty() ? nullptr : ca.constData(),
                                         ca.isEmpty() ? "/etc/ssl/certs" : nullptr,
                                         cert.isEmpty() ? nullptr : cert.constData(),
                                         key.isEmpty() ? nullptr : key.constData(), nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            return lose(QStringLiteral("the CA file, client certificate or key cannot be "
                                       "read (%1)")
                            .arg(QString::fromUtf8(mosquitto_strerror(rc))),
                        MqttStatus::Tls);
        }
        mosquitto_tls_opts_set(client, 1, nullptr, nullptr); // verify the server
    }
    errno = 0;
    const int rc = mosquitto_connect(client, options.url.host.toUtf8().constData(),
                                     options.url.port, keepAliveSeconds);
    const int error = errno;
    if (rc != MOSQ_ERR_SUCCESS)
        return lose(describe(rc, error), problemOf(rc));
    loopTimer.start(busyLoopMs);
}

void MqttSession::closeClient()
{
    loopTimer.stop();
    connected = false;
    if (client)
        mosquitto_destroy(client);
    client = nullptr;
}

void MqttSession::lose(const QString &error, MqttStatus::Problem problem)
{
    closeClient();
    inflight = 0;
    sent = 0;
    for (Message &message : queue)
        message.mid = 0;
    setState(MqttStatus::Waiting, error, problem);
    if (!running)
        return;
    retryTimer.start(retryDelayMs);
    retryDelayMs = qMin(2 * retryDelayMs, lastRetryMs);
}

void MqttSession::poll()
{
    errno = 0;
    const int rc = mosquitto_loop(client, 0, 1);
    const int error = errno;
    if (!refusal.isEmpty())
        lose(refusal, MqttStatus::Refused);
    else if (rc != MOSQ_ERR_SUCCESS)
        lose(describe(rc, error), problemOf(rc));
    else if (connected && inflight == 0 && !mosquitto_want_write(client) &&
             loopTimer.interval() != idleLoopMs)
        loopTimer.setInterval(idleLoopMs);
}

void MqttSession::send()
{
    while (connected && inflight < window && sent < queue.size()) {
        Message &message = queue[sent];
        if (!message.acked) {
            const int rc = mosquitto_publish(client, &message.mid, message.topic.constData(),
                                             message.payload.size(), message.payload.constData(), 1,
                                             message.retain);
            if (rc != MOSQ_ERR_SUCCESS)
                return; // the next loop tells why
            ++inflight;
            if (loopTimer.interval() != busyLoopMs)
                loopTimer.start(busyLoopMs);
        }
        ++sent;
    }
}

void MqttSession::publish(const QList<Reading> &readings)
{
    const bool corked = client && connected;
    if (corked)
        cork(client, true);
    const QByteArray elapsed = ReadingRecorder::elapsedText(clock.elapsed());
    QDateTime lastTime;
    QByteArray timeBytes;
    for (const Reading &reading : readings) {
        if (timeBytes.isEmpty() || reading.time != lastTime) {
            lastTime = reading.time;
            timeBytes = ReadingRecorder::timeText(reading.time).toLatin1();
        }
        if (options.discovery)
            enqueueDiscovery(reading);
        enqueue(HomeAssistantDiscovery::readingTopic(options, reading),
                JsonlRecorder::row(timeBytes, elapsed, reading), false);
    }
    if (!corked || !client)
        return;
    cork(client, false);
    // The batch's wakeup runs the network loop too: its timer need not, meanwhile.
    poll();
    if (loopTimer.isActive())
        loopTimer.start();
}

void MqttSession::publishAlarm(const Reading &alarm)
{
    enqueue(HomeAssistantDiscovery::benchTopic(options) + "/alarm",
            JsonlRecorder::row(ReadingRecorder::timeText(alarm.time).toLatin1(),
                               ReadingRecorder::elapsedText(clock.elapsed()), alarm),
            false);
}

void MqttSession::enqueueDiscovery(const Reading &reading)
{
    const QByteArray topic = HomeAssistantDiscovery::configTopic(options, reading);
    if (discovered.contains(topic))
        return;
    discovered.insert(topic);
    configs.append({topic, HomeAssistantDiscovery::configPayload(options, reading)});
    enqueue(topic, configs.last().second, true);
}

void MqttSession::enqueue(const QByteArray &topic, const QByteArray &payload, bool retain)
{
    queue.push_back(Message{topic, payload, retain});
    while (queue.size() > size_t(qMax(1, options.queueLimit))) {
        if (sent > 0) {
            --sent;
            if (queue.front().mid != 0 && !queue.front().acked)
                --inflight;
        }
        queue.pop_front();
        ++dropped;
        ++droppedUnreported;
    }
    send();
}

void MqttSession::stop()
{
    if (!running)
        return;
    running = false;
    retryTimer.stop();
    reportTimer.stop();
    QElapsedTimer drained;
    drained.start();
    while (client && connected && !queue.empty() && drained.elapsed() < drainMs) {
        if (mosquitto_loop(client, 50, 1) != MOSQ_ERR_SUCCESS)
            connected = false;
    }
    if (client && connected) {
        // The retained "offline" before the DISCONNECT, which makes the broker
        // forget the will.
        offlineAcked = false;
        const QByteArray topic = HomeAssistantDiscovery::statusTopic(options);
        if (mosquitto_publish(client, &offlineMid, topic.constData(), 7, "offline", 1, true) ==
            MOSQ_ERR_SUCCESS) {
            QElapsedTimer waited;
            waited.start();
            while (!offlineAcked && waited.elapsed() < 2000 &&
                   mosquitto_loop(client, 50, 1) == MOSQ_ERR_SUCCESS) {
            }
        }
        mosquitto_disconnect(client);
    }
    closeClient();
    inflight = 0;
    sent = 0;
    for (Message &message : queue)
        message.mid = 0;
    setState(MqttStatus::Stopped, QString());
}

void MqttSession::report()
{
    if (status.queued != int(queue.size()) || status.dropped != dropped ||
        status.published != published)
        setState(status.state, status.error, status.problem);
}

MqttStatus MqttSession::stopAndReport()
{
    stop();
    return status;
}

void MqttSession::setState(MqttStatus::State state, const QString &error,
                           MqttStatus::Problem problem)
{
    const bool changed = state != status.state || error != status.error ||
                         status.queued != int(queue.size()) || status.dropped != dropped ||
                         status.published != published;
    status.state = state;
    status.problem = problem;
    status.error = error;
    status.published = published;
    status.queued = int(queue.size());
    status.dropped = dropped;
    if (changed)
        emit statusChanged(status);
}

QString MqttSession::describe(int rc, int error) const
{
    switch (rc) {
    case MOSQ_ERR_ERRNO:
        return QString::fromLocal8Bit(std::strerror(error ? error : EIO));
    case MOSQ_ERR_CONN_LOST:
    case MOSQ_ERR_NO_CONN:
        return QStringLiteral("the connection to the broker was lost");
    case MOSQ_ERR_EAI:
        return QStringLiteral("the broker's host name cannot be resolved");
    case MOSQ_ERR_TLS:
        if (tlsError.contains(QLatin1String("certificate verify failed")))
            return QStringLiteral("the broker's certificate is not trusted "
                                  "(certificate verify failed)");
        return QStringLiteral("the TLS connection failed") +
               (tlsError.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(tlsError));
    default:
        return QString::fromUtf8(mosquitto_strerror(rc));
    }
}

void MqttSession::onConnect(mosquitto *, void *self, int rc)
{
    auto *session = static_cast<MqttSession *>(self);
    if (rc == 4) {
        session->refusal = QStringLiteral("bad user name or password");
        return;
    }
    if (rc == 5) {
        session->refusal = QStringLiteral("not authorised: the broker refused the user name "
                                          "or password");
        return;
    }
    if (rc != 0) {
        session->refusal = QString::fromUtf8(mosquitto_connack_string(rc));
        return;
    }
    session->connected = true;
    session->retryDelayMs = firstRetryMs;
    const QByteArray topic = HomeAssistantDiscovery::statusTopic(session->options);
    mosquitto_publish(session->client, nullptr, topic.constData(), 6, "online", 1, true);
    if (session->options.discovery) {
        const QByteArray haStatus =
            HomeAssistantDiscovery::topicLevel(session->options.discoveryPrefix).toUtf8() +
            "/status";
        mosquitto_subscribe(session->client, nullptr, haStatus.constData(), 1);
    }
    if (session->droppedUnreported > 0) {
        emit session->readingsDropped(session->droppedUnreported);
        session->droppedUnreported = 0;
    }
    session->setState(MqttStatus::Connected, QString());
    session->send();
}

void MqttSession::onPublish(mosquitto *, void *self, int mid)
{
    auto *session = static_cast<MqttSession *>(self);
    if (mid == session->offlineMid) {
        session->offlineAcked = true;
        return;
    }
    std::deque<Message> &queue = session->queue;
    for (size_t i = 0; i < session->sent; ++i) {
        if (queue[i].mid == mid && !queue[i].acked) {
            queue[i].acked = true;
            --session->inflight;
            ++session->published;
            break;
        }
    }
    while (session->sent > 0 && queue.front().acked) {
        queue.pop_front();
        --session->sent;
    }
    session->send();
}

void MqttSession::onMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    // Home Assistant came back: it forgets sensors it was not told of again.
    auto *session = static_cast<MqttSession *>(self);
    if (QByteArray(static_cast<const char *>(message->payload), message->payloadlen) != "online")
        return;
    for (const auto &config : qAsConst(session->configs))
        session->enqueue(config.first, config.second, true);
}

void MqttSession::onLog(mosquitto *, void *self, int level, const char *text)
{
    if ((level & MOSQ_LOG_ERR) && std::strncmp(text, "OpenSSL Error", 13) == 0)
        static_cast<MqttSession *>(self)->tlsError = QString::fromUtf8(text);
}
