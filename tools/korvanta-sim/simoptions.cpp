#include "simoptions.h"

#include "instrument.h"
#include "programversion.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRandomGenerator>

#include <unistd.h>

namespace {

const char *const kEpilogue = R"(
Instruments (names for --only):
  mul     multimeter, 3 readings/s: moves through DC volts (12 V, then a
          negative reading), millivolts, AC mains (high-voltage sign), ohms,
          an open circuit "0.L", continuity (buzzer), diode, frequency and
          capacitance, 5 s each. Like a real meter it sends the table flag
          only when asked: --table-every N sends it every N seconds, as
          if the meter's table button were pressed.
  power   power supply, 5 readings/s: 12 V constant voltage, load steps of
          0.12, 0.85 and 1.6 A and a 3 s current-limited episode at 2 A with
          the voltage sagging, repeating every 30 s.
  iron    soldering iron, 4 readings/s: heats from 22 to 350 C and holds it.
  hotair  hot-air station, 4 readings/s: heats from 22 to 300 C; the air
          speed changes every 8-16 s and dips the temperature for a moment.
  The program's protocol has no function codes for amps or temperature on
  the multimeter, so the multimeter sends neither.

The line is paced at 115200 baud, 8N1 (11520 characters/s). --rate max keeps
it full, about 180 frames/s of all four instruments taken in turn. With a
pseudo-terminal, frames are written only while a reader takes them: when
nobody has read anything for 2 s, frames are skipped instead.

Shares are fractions (0.05) or percentages (5%). --silence takes
NAME:START:SECONDS, for example iron:10:8; it may be given more than once.

At the end (--seconds, Ctrl+C, SIGTERM) one line goes to standard error:
  korvanta-sim: sent=N intact=N broken=N mul=N power=N iron=N hotair=N
  broken.mul=N broken.power=N broken.iron=N broken.hotair=N skipped=N
  unread=N seconds=S
A frame counts as sent once the reader has taken it from the line; the
per-instrument numbers count intact frames; skipped frames were not written
because nobody was reading, unread ones were still in the line when it
closed or was unplugged.
)";

bool parseShare(const QString &text, double &share)
{
    bool ok = false;
    if (text.endsWith('%'))
        share = text.chopped(1).toDouble(&ok) / 100;
    else
        share = text.toDouble(&ok);
    return ok && share >= 0 && share <= 1;
}

bool parseSeconds(const QString &text, double &seconds)
{
    bool ok = false;
    seconds = text.toDouble(&ok);
    return ok && seconds >= 0 && seconds < 1e7;
}

bool parseSilence(const QString &text, SimOptions::Silence &silence)
{
    const QStringList parts = text.split(':');
    if (parts.size() != 3)
        return false;
    silence.kind = Instrument::kindOf(parts[0]);
    return silence.kind >= 0 && parseSeconds(parts[1], silence.start) &&
           parseSeconds(parts[2], silence.seconds);
}

} // namespace

QString SimOptions::defaultLink()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QFileInfo runtimeDir(runtime);
    if (!runtime.isEmpty() && runtimeDir.isDir() && runtimeDir.isWritable())
        return runtime + QStringLiteral("/korvanta-sim");
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty() || user.contains('/'))
        user = QString::number(getuid());
    return QStringLiteral("/tmp/korvanta-sim-") + user;
}

SimOptions::Outcome SimOptions::parse(const QStringList &arguments, SimOptions &options,
                                      QString &text)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays the four Korvanta instruments (multimeter, power supply, soldering iron, hot-air\n"
        "station) into a pseudo-terminal, for trying and testing the program without them.\n"
        "Open the path it prints as the serial port in Korvanta.");
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption version({"v", "version"}, "Shows the program version.");
    const QCommandLineOption link(
        "link",
        "Links the pseudo-terminal at PATH (default: $XDG_RUNTIME_DIR/korvanta-sim, or "
        "/tmp/korvanta-sim-$USER without a runtime folder).",
        "PATH");
    const QCommandLineOption device(
        "device", "Writes into an existing device (or file) instead of a pseudo-terminal.", "PATH");
    const QCommandLineOption only("only", "Plays only these instruments (comma-separated).",
                                  "mul,power,iron,hotair");
    const QCommandLineOption rate("rate",
                                  "Frames per second per instrument, or max to fill the line "
                                  "(default: what each instrument sends).",
                                  "N|max");
    const QCommandLineOption seconds("seconds",
                                     "Stops after N seconds (default: runs until "
                                     "stopped).",
                                     "N");
    const QCommandLineOption seed("seed",
                                  "Seed of the random readings and faults (default: "
                                  "random, printed at the start).",
                                  "N");
    const QCommandLineOption table("table-every",
                                   "Sends the multimeter's table flag every N seconds (default: "
                                   "0, never).",
                                   "N");
    const QCommandLineOption chunks("random-chunks", "Fault: writes in random chunks of 1-64 "
                                                     "characters.");
    const QCommandLineOption noise("noise",
                                   "Fault: noise bytes in this share of the gaps "
                                   "between frames.",
                                   "SHARE");
    const QCommandLineOption badChecksum(
        "bad-checksum", "Fault: this share of the frames with a wrong checksum.", "SHARE");
    const QCommandLineOption lostChar(
        "lose-char", "Fault: this share of the frames with one character lost.", "SHARE");
    const QCommandLineOption silence("silence",
                                     "Fault: the instrument falls silent at START for SECONDS.",
                                     "NAME:START:SECONDS");
    const QCommandLineOption unplug("unplug-after",
                                    "Fault: the pseudo-terminal and its link disappear after N "
                                    "seconds.",
                                    "N");
    const QCommandLineOption replug("replug-after",
                                    "With --unplug-after: they come back, at the same link, S "
                                    "seconds later.",
                                    "S");
    parser.addOptions({help, version, link, device, only, rate, seconds, seed, table, chunks, noise,
                       badChecksum, lostChar, silence, unplug, replug});

    if (!parser.parse(arguments)) {
        text = parser.errorText();
        return Outcome::Error;
    }
    if (parser.isSet(help)) {
        text = parser.helpText() + kEpilogue;
        return Outcome::Help;
    }
    if (parser.isSet(version)) {
        text = "korvanta-sim " + programVersion() + '\n';
        return Outcome::Version;
    }
    auto fail = [&](const QString &why) {
        text = why;
        return Outcome::Error;
    };
    if (!parser.positionalArguments().isEmpty())
        return fail("unexpected argument: " + parser.positionalArguments().first());

    if (parser.isSet(only)) {
        options.kinds.clear();
        for (const QString &name : parser.value(only).split(',', Qt::SkipEmptyParts)) {
            const int kind = Instrument::kindOf(name.trimmed());
            if (kind < 0)
                return fail("unknown instrument: " + name + " (mul, power, iron, hotair)");
            if (!options.kinds.contains(kind))
                options.kinds << kind;
        }
        if (options.kinds.isEmpty())
            return fail("--only names no instrument");
    }
    if (parser.isSet(rate)) {
        const QString value = parser.value(rate);
        bool ok = true;
        if (value == QLatin1String("max"))
            options.maxRate = true;
        else
            options.rate = value.toDouble(&ok);
        if (!ok || (!options.maxRate && !(options.rate > 0 && options.rate <= 1000)))
            return fail("--rate takes a number of frames per second (up to 1000) or max");
    }
    if (parser.isSet(seconds) && !parseSeconds(parser.value(seconds), options.seconds))
        return fail("--seconds takes a number of seconds");
    if (parser.isSet(seed)) {
        bool ok = false;
        options.seed = parser.value(seed).toUInt(&ok);
        if (!ok)
            return fail("--seed takes a whole number");
    } else {
        options.seed = QRandomGenerator::system()->generate();
    }
    if (parser.isSet(table) && !parseSeconds(parser.value(table), options.tableEvery))
        return fail("--table-every takes a number of seconds");

    options.faults.randomChunks = parser.isSet(chunks);
    const struct
    {
        const QCommandLineOption &option;
        double &share;
    } shares[] = {{noise, options.faults.noise},
                  {badChecksum, options.faults.badChecksum},
                  {lostChar, options.faults.lostChar}};
    for (const auto &share : shares) {
        if (parser.isSet(share.option) && !parseShare(parser.value(share.option), share.share))
            return fail("--" + share.option.names().first() +
                        " takes a share from 0 to 1 or 0% to 100%");
    }
    for (const QString &value : parser.values(silence)) {
        Silence entry{};
        if (!parseSilence(value, entry))
            return fail("--silence takes NAME:START:SECONDS, for example iron:10:8");
        options.silences << entry;
    }
    if (parser.isSet(unplug) &&
        (!parseSeconds(parser.value(unplug), options.unplugAfter) || options.unplugAfter <= 0))
        return fail("--unplug-after takes a number of seconds above 0");
    if (parser.isSet(replug) &&
        (!parseSeconds(parser.value(replug), options.replugAfter) || options.replugAfter <= 0))
        return fail("--replug-after takes a number of seconds above 0");
    if (parser.isSet(replug) && !parser.isSet(unplug))
        return fail("--replug-after needs --unplug-after");

    options.device = parser.value(device);
    if (!options.device.isEmpty() && (parser.isSet(link) || parser.isSet(unplug)))
        return fail("--device writes into an existing device: no --link, no --unplug-after");
    options.link = parser.isSet(link) ? parser.value(link) : defaultLink();
    if (options.link.isEmpty())
        return fail("--link needs a path");
    return Outcome::Run;
}
