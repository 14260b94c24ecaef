#include "networkcontrol.h"

#include "elidedlabel.h"
#include "languagetext.h"
#include "mqttpublisher.h"

#include <QStatusBar>

namespace {

QString networkText(const char *entry)
{
    return languageText[QStringLiteral("ids_Network_Language/") + QLatin1String(entry)];
}

} // namespace

NetworkControl::NetworkControl(QStatusBar *statusBar, QObject *parent)
    : QObject(parent), label(new ElidedLabel(statusBar))
{
    label->setObjectName(QStringLiteral("networkLabel"));
    statusBar->addWidget(label, 1);
    label->hide();
}

NetworkControl::~NetworkControl() = default;

void NetworkControl::apply(const NetworkSettings &settings)
{
    // The old publisher delivers what it holds within a few seconds and says "offline".
    publisher.reset();
    settingsError.clear();
    broker = settings.broker;
    if (settings.enabled) {
        QString error;
        const std::optional<MqttOptions> options = settings.options(&error);
        if (options) {
            broker = options->url.toString();
            publisher = std::make_unique<MqttPublisher>(*options);
            connect(publisher.get(), &MqttPublisher::statusChanged, this,
                    &NetworkControl::showStatus);
            publisher->start();
        } else {
            settingsError = error;
        }
    }
    showStatus();
}

QString NetworkControl::statusText() const
{
    if (!settingsError.isEmpty())
        return networkText("ids_badSetting").arg(settingsError);
    if (!publisher)
        return QString();
    const MqttStatus &status = publisher->status();
    QString text;
    if (status.state == MqttStatus::Connected)
        text = networkText("ids_connected").arg(broker);
    else if (status.problem == MqttStatus::Refused)
        text = networkText("ids_refused").arg(broker);
    else if (status.problem == MqttStatus::Tls)
        text = networkText("ids_tls").arg(broker);
    else
        text = networkText("ids_waiting").arg(broker);
    if (status.queued > 0)
        text += QLatin1Char(' ') + networkText("ids_queued").arg(status.queued);
    return text;
}

void NetworkControl::showStatus()
{
    const QString text = statusText();
    label->setVisible(!text.isEmpty());
    label->setFullText(text);
    // The broker's own words (in English) for who wants the detail.
    if (publisher && !publisher->status().error.isEmpty())
        label->setToolTip(text + QLatin1Char('\n') + publisher->status().error);
}

void NetworkControl::applyLanguage()
{
    showStatus();
}

void NetworkControl::publish(const QList<Reading> &readings)
{
    if (publisher)
        publisher->publish(readings);
}

void NetworkControl::publishAlarms(const QList<Reading> &rows)
{
    if (!publisher)
        return;
    for (const Reading &row : rows)
        publisher->publishAlarm(row);
}
