#include "brokerurl.h"

#include <QUrl>

QString BrokerUrl::toString() const
{
    return QStringLiteral("%1://%2:%3").arg(tls ? "mqtts" : "mqtt", host).arg(port);
}

BrokerUrl BrokerUrl::parse(const QString &text, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Not a broker address: \"%1\" (%2)").arg(text, why);
        return BrokerUrl();
    };
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != "mqtt" && scheme != "mqtts"))
        return fail(QStringLiteral("expected mqtt://HOST[:PORT] or mqtts://HOST[:PORT]"));
    if (url.host().isEmpty())
        return fail(QStringLiteral("no host"));
    // Credentials never come from the address, where logs and shell histories keep them.
    if (!url.userInfo().isEmpty())
        return fail(QStringLiteral("give the user name and password in a file, not here"));
    if (!url.path().isEmpty() && url.path() != "/")
        return fail(QStringLiteral("a broker address has no path"));
    if (url.hasQuery() || url.hasFragment())
        return fail(QStringLiteral("a broker address has no query"));
    BrokerUrl broker;
    broker.tls = scheme == "mqtts";
    broker.host = url.host();
    broker.port = url.port(broker.tls ? 8883 : 1883);
    if (broker.port <= 0)
        return fail(QStringLiteral("bad port"));
    if (error)
        error->clear();
    return broker;
}
