#include "logoptions.h"

#include "mqttcredentials.h"
#include "programversion.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace {

const char *const kEpilogue = R"(
PORT is a serial device (/dev/ttyUSB0, ttyUSB0, /dev/serial/by-id/...) or the
link korvanta-sim prints. It is opened at 115200 baud, 8N1, for reading only.

Output: one row per quantity of each decoded frame, as the window records it,
written as soon as the frame is decoded (nothing waits in a buffer).
  csv    time,elapsed_s,instrument,quantity,value,unit,detail (RFC 4180,
         UTF-8, CRLF line ends, header row), the window's recording format.
  jsonl  one JSON object a line with the same keys; elapsed_s and value are
         numbers, except value "OL"/"-OL" for an overload and null for raw
         rows.
elapsed_s counts seconds from the logger's start; what the port held from
before the logger opened it is dropped, so each row's time is when it was
received. --output never replaces an existing file and creates no folder.

--raw adds a row for what was received, before the frame's readings:
  quantity "raw": an intact frame, its instrument (empty for a function code
    no instrument sends) and the frame text in detail;
  quantity "raw_invalid": received text that is no intact frame (a frame with
    a wrong checksum or a lost character, noise), cut at each "C1", with an
    empty instrument; it is written whatever --only says.
  In detail, bytes outside printable ASCII are written \xHH and a backslash \\.

--count N stops after the readings of N frames (a frame gives one to three
rows); with --only, only frames of those instruments count.

--limits FILE checks every frame's readings against the [Limits] section of
FILE (the window's settings file, or a file with only that section; keys such
as power.current=:1.5,0.2 or iron.tolerance=5,8, as the README describes) and
writes each start and end of an alarm as a row: quantity "alarm", the value
and unit of the reading behind it, detail "<limit>=<bounds> start" or "end".
Without --limits the soldering iron's and hot air's default tolerance checks
apply when --alarm-exit is given. Keys that do not parse are named once and
ignored.

Instruments (names for --only): mul (multimeter), power (power supply),
iron (soldering iron), hotair (hot-air station).

--mqtt mqtt://HOST[:PORT] (or mqtts:// for TLS; ports 1883 and 8883 by
default) also publishes every reading, QoS 1, on
<prefix>/<bench>/<instrument>/<quantity> as its JSON Lines row, alarm rows on
<prefix>/<bench>/alarm, and a retained <prefix>/<bench>/status: "online", and
"offline" at the end or, as the broker's last will, when the logger dies.
The prefix is korvanta (--topic-prefix), the bench the host name (--bench).
With --mqtt and without --output, nothing is written to standard output
(--output - writes there as well). A broker that cannot be reached is waited
for (1 s, doubling to 30 s between tries) while readings queue, up to 200000;
the logger says so on standard error. At the end, what is queued is delivered
for up to 3 s before "offline" is published. The user name and password come
from --mqtt-auth-file FILE (the user name on the first line, the password on
the second; refused unless only its owner may read it: chmod 600 FILE) or
from the environment variables KORVANTA_MQTT_USER and KORVANTA_MQTT_PASSWORD,
never from the command line. mqtts:// checks the broker's certificate against
the system's trust store, or against --ca-file FILE. --ha-discovery announces
a Home Assistant sensor for each quantity (retained, under homeassistant/).

Messages go to standard error, one line each, as "korvanta-log: ...". When
no intact frame has arrived for 5 s, the logger says so once, with the port
and its line settings, and goes on listening.

Exit status:
  0  normal end: --duration or --count reached, or SIGINT (Ctrl+C), SIGTERM
     or SIGHUP; every row received so far is written
  1  bad arguments
  2  the port cannot be opened (not found, no permission, in use, other)
  3  the port was lost while logging (unplugged, or the simulator ended)
  4  the output cannot be created or written (no such folder, disk full,
     closed pipe, ...)
  5  with --alarm-exit: an alarm started (its row is written first)
  6  with --mqtt: the broker refused the user name or password, or the TLS
     connection failed (an untrusted certificate, an unreadable CA file)
At the end one line goes to standard error:
  korvanta-log: frames=N rows=N seconds=S
with --mqtt followed by published=N queued=N dropped=N: messages the broker
acknowledged, still undelivered at the end, and dropped from the full queue.

Example, with the simulated instruments:
  korvanta-sim --link /tmp/bench &
  korvanta-log /tmp/bench --only power --count 10
  korvanta-log /tmp/bench --mqtt mqtt://localhost --bench bench1
)";

bool parseSeconds(const QString &text, double &seconds)
{
    bool ok = false;
    seconds = text.toDouble(&ok);
    return ok && std::isfinite(seconds) && seconds > 0 && seconds < 1e9;
}

// The parser's complaint in the logger's own words: "unknown option --speed"
// rather than "Unknown option 'speed'.".
QString errorText(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString name = unknown.first();
        return QStringLiteral("unknown option ") + (name.size() == 1 ? "-" : "--") + name;
    }
    const QRegularExpressionMatch missing =
        QRegularExpression(QStringLiteral("^Missing value after '(.+)'")).match(parser.errorText());
    if (missing.hasMatch())
        return missing.captured(1) + QStringLiteral(" needs a value");
    QString text = parser.errorText();
    if (text.endsWith('.'))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

// The broker's options from the command line; the reason when they are wrong.
QString parseMqtt(const QCommandLineParser &parser, LogOptions &options)
{
    const auto lowered = [](QString text) {
        if (!text.isEmpty())
            text[0] = text[0].toLower();
        return text;
    };
    if (!parser.isSet("mqtt")) {
        for (const char *name :
             {"bench", "topic-prefix", "mqtt-auth-file", "ca-file", "ha-discovery"})
            if (parser.isSet(name))
                return QStringLiteral("--%1 needs --mqtt").arg(name);
        return QString();
    }
    QString error;
    MqttOptions &mqtt = options.mqtt;
    mqtt.url = BrokerUrl::parse(parser.value("mqtt"), &error);
    if (!mqtt.url.isValid())
        return "--mqtt: " + lowered(error);
    if (parser.isSet("bench")) {
        mqtt.bench = parser.value("bench").trimmed();
        if (mqtt.bench.isEmpty())
            return QStringLiteral("--bench needs a name");
    }
    if (parser.isSet("topic-prefix")) {
        mqtt.prefix = parser.value("topic-prefix").trimmed();
        if (mqtt.prefix.isEmpty())
            return QStringLiteral("--topic-prefix needs a topic level");
    }
    if (parser.isSet("ca-file")) {
        mqtt.caFile = parser.value("ca-file");
        if (!mqtt.url.tls)
            return QStringLiteral("--ca-file needs an mqtts:// broker");
        if (!QFileInfo(mqtt.caFile).isFile())
            return "--ca-file: no such file: " + mqtt.caFile;
    }
    if (parser.isSet("mqtt-auth-file")) {
        mqtt.credentials = MqttCredentials::fromFile(parser.value("mqtt-auth-file"), &error);
        if (!mqtt.credentials)
            return "--mqtt-auth-file: " + lowered(error);
    } else {
        mqtt.credentials = MqttCredentials::fromEnvironment();
    }
    mqtt.discovery = parser.isSet("ha-discovery");
    return QString();
}

} // namespace

QString LogOptions::usage()
{
    return QStringLiteral("Usage: korvanta-log PORT [--format csv|jsonl] [--output FILE] "
                          "[--duration SECONDS] [--count N] [--only mul,power,iron,hotair] "
                          "[--raw] [--limits FILE] [--alarm-exit] [--mqtt mqtt[s]://HOST[:PORT]] "
                          "[--bench NAME] [--topic-prefix P] [--mqtt-auth-file FILE] "
                          "[--ca-file FILE] [--ha-discovery]");
}

QString LogOptions::instrumentOf(const QString &name)
{
    if (name == QLatin1String("mul"))
        return QStringLiteral("multimeter");
    if (name == QLatin1String("power") || name == QLatin1String("iron") ||
        name == QLatin1String("hotair"))
        return name;
    return QString();
}

LogOptions::Outcome LogOptions::parse(const QStringList &arguments, LogOptions &options,
                                      QString &text)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes the readings of the Korvanta instruments (multimeter, power supply, soldering\n"
        "iron, hot-air station) on a serial port to standard output or a file, as CSV or\n"
        "JSON Lines, without a window.");
    parser.addPositionalArgument("PORT", "The serial port the instruments are on.");
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption version({"v", "version"}, "Shows the program version.");
    const QCommandLineOption format("format", "Output format (default: csv).", "csv|jsonl");
    const QCommandLineOption output(
        "output", "Writes to a new FILE instead of standard output (- is standard output).",
        "FILE");
    const QCommandLineOption duration("duration", "Stops after SECONDS.", "SECONDS");
    const QCommandLineOption count("count", "Stops after the readings of N frames.", "N");
    const QCommandLineOption only("only", "Logs only these instruments (comma-separated).",
                                  "mul,power,iron,hotair");
    const QCommandLineOption raw("raw", "Also writes each frame as received.");
    const QCommandLineOption limits("limits", "Checks the readings against FILE's limits.", "FILE");
    const QCommandLineOption alarmExit("alarm-exit", "Ends with exit status 5 on the first alarm.");
    const QCommandLineOption mqtt("mqtt", "Also publishes the readings to this MQTT broker.",
                                  "mqtt[s]://HOST[:PORT]");
    const QCommandLineOption bench("bench", "The bench's topic level (default: the host name).",
                                   "NAME");
    const QCommandLineOption prefix("topic-prefix", "The topics' first level (default: korvanta).",
                                    "P");
    const QCommandLineOption authFile(
        "mqtt-auth-file", "Reads the broker's user name and password from FILE.", "FILE");
    const QCommandLineOption caFile("ca-file", "Trusts the broker's certificate if FILE signed it.",
                                    "FILE");
    const QCommandLineOption discovery("ha-discovery", "Announces the sensors to Home Assistant.");
    parser.addOptions({help, version, format, output, duration, count, only, raw, limits, alarmExit,
                       mqtt, bench, prefix, authFile, caFile, discovery});

    if (!parser.parse(arguments)) {
        text = errorText(parser);
        return Outcome::Error;
    }
    if (parser.isSet(help)) {
        text = parser.helpText() + kEpilogue;
        return Outcome::Help;
    }
    if (parser.isSet(version)) {
        text = "korvanta-log " + programVersion() + '\n';
        return Outcome::Version;
    }
    auto fail = [&](const QString &why) {
        text = why;
        return Outcome::Error;
    };
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty() || positional.first().trimmed().isEmpty())
        return fail("no port given");
    if (positional.size() > 1)
        return fail("unexpected argument: " + positional[1]);
    options.port = positional.first();

    if (parser.isSet(format)) {
        const QString value = parser.value(format);
        if (value == QLatin1String("csv"))
            options.format = Format::Csv;
        else if (value == QLatin1String("jsonl"))
            options.format = Format::Jsonl;
        else
            return fail("--format takes csv or jsonl");
    }
    if (parser.isSet(output)) {
        options.output = parser.value(output);
        if (options.output.isEmpty())
            return fail("--output needs a file name");
        if (options.output == QLatin1String("-"))
            options.output.clear();
    }
    if (parser.isSet(duration) && !parseSeconds(parser.value(duration), options.duration))
        return fail("--duration takes a number of seconds above 0");
    if (parser.isSet(count)) {
        bool ok = false;
        options.count = parser.value(count).toLongLong(&ok);
        if (!ok || options.count <= 0)
            return fail("--count takes a whole number above 0");
    }
    if (parser.isSet(only)) {
        options.instruments.clear();
        for (const QString &name : parser.value(only).split(',', Qt::SkipEmptyParts)) {
            const QString instrument = instrumentOf(name.trimmed());
            if (instrument.isEmpty())
                return fail("unknown instrument: " + name + " (mul, power, iron, hotair)");
            if (!options.instruments.contains(instrument))
                options.instruments << instrument;
        }
        if (options.instruments.isEmpty())
            return fail("--only names no instrument");
    }
    options.raw = parser.isSet(raw);
    if (parser.isSet(limits)) {
        options.limitsFile = parser.value(limits);
        if (!QFileInfo(options.limitsFile).isFile())
            return fail("--limits: no such file: " + options.limitsFile);
    }
    options.alarmExit = parser.isSet(alarmExit);
    const QString mqttError = parseMqtt(parser, options);
    if (!mqttError.isEmpty())
        return fail(mqttError);
    // The broker alone is an output; --output - asks for standard output as well.
    options.writesRows = !options.publishes() || parser.isSet(output);
    return Outcome::Run;
}
