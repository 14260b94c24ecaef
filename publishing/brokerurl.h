#pragma once

#include <QString>

// A broker's address as the user writes it: mqtt://HOST[:PORT] or, with TLS,
// mqtts://HOST[:PORT].
struct BrokerUrl
{
    QString host;
    int port = 0;
    bool tls = false;

    bool isValid() const { return !host.isEmpty() && port > 0; }
    // "mqtts://host:8883", as it is shown back to the user.
    QString toString() const;

    // An invalid url, with error telling why, for text that is not one.
    static BrokerUrl parse(const QString &text, QString *error = nullptr);
};
