#include "simbench.h"

#include "hotairmodel.h"
#include "ironmodel.h"
#include "multimetermodel.h"
#include "powersupplymodel.h"

#include <algorithm>
#include <limits>

namespace {

std::unique_ptr<Instrument> makeInstrument(int kind, quint32 seed, double tableEvery)
{
    switch (kind) {
    case Instrument::Multimeter:
        return std::make_unique<MultimeterModel>(seed, tableEvery);
    case Instrument::PowerSupply:
        return std::make_unique<PowerSupplyModel>(seed);
    case Instrument::SolderingIron:
        return std::make_unique<IronModel>(seed);
    default:
        return std::make_unique<HotAirModel>(seed);
    }
}

constexpr double kNever = std::numeric_limits<double>::infinity();

} // namespace

SimBench::SimBench(const SimOptions &options, QTextStream &out, QTextStream &err)
    : options(options), out(out), err(err), faults(options.faults, options.seed),
      writer(clock, faults)
{
    // Each instrument draws from its own generator, so --only does not change
    // what the others read.
    QRandomGenerator phases(options.seed);
    for (int kind : options.kinds) {
        Player player{
            makeInstrument(kind, options.seed + 7919u * quint32(kind + 1), options.tableEvery), 0,
            0};
        const double rate = options.rate > 0 ? options.rate : player.instrument->defaultRate();
        player.interval = 1 / rate;
        // Independent instruments: each starts at its own moment.
        player.due = phases.bounded(player.interval);
        players.push_back(std::move(player));
    }
}

bool SimBench::openLine()
{
    if (!options.device.isEmpty()) {
        auto device = std::make_unique<SerialDevice>();
        QString error;
        if (!device->open(options.device, &error)) {
            err << "korvanta-sim: " << error << Qt::endl;
            return false;
        }
        line = std::move(device);
        out << "korvanta-sim: instruments on " << options.device << " (seed " << options.seed << ")"
            << Qt::endl;
        return true;
    }
    auto terminal = std::make_unique<PseudoTerminal>();
    QString error;
    if (!terminal->isOpen()) {
        err << "korvanta-sim: no pseudo-terminal available" << Qt::endl;
        return false;
    }
    if (!terminal->linkTo(options.link, &error)) {
        err << "korvanta-sim: " << error << Qt::endl;
        return false;
    }
    out << "korvanta-sim: open " << options.link << " in Korvanta (pseudo-terminal "
        << terminal->slavePath() << ", seed " << options.seed << ")" << Qt::endl;
    pty = terminal.get();
    line = std::move(terminal);
    return true;
}

bool SimBench::silent(int kind, double at) const
{
    for (const SimOptions::Silence &silence : options.silences) {
        if (silence.kind == kind && at >= silence.start && at < silence.start + silence.seconds)
            return true;
    }
    return false;
}

bool SimBench::allSilent(double at) const
{
    for (const Player &player : players) {
        if (!silent(player.instrument->kind(), at))
            return false;
    }
    return true;
}

void SimBench::sendFrom(Player &player, double at)
{
    Instrument &instrument = *player.instrument;
    if (silent(instrument.kind(), at))
        return;
    const FrameEncoder::Fault fault = faults.checksumFault();
    QByteArray frame = instrument.frame(at, fault);
    const bool lost = faults.loseCharacter(frame);
    const QByteArray noise = faults.noise();
    writer.send(noise, frame, instrument.kind(), fault != FrameEncoder::Fault::None || lost);
}

void SimBench::unplug()
{
    writer.settle(1.0);
    pty->close();
    unplugged = true;
    out << "korvanta-sim: unplugged " << options.link << Qt::endl;
}

bool SimBench::replug()
{
    if (!pty->reopen()) {
        err << "korvanta-sim: cannot plug in again at " << options.link << Qt::endl;
        return false;
    }
    unplugged = false;
    writer.setSink(pty);
    out << "korvanta-sim: plugged in again at " << options.link << " (pseudo-terminal "
        << pty->slavePath() << ")" << Qt::endl;
    return true;
}

int SimBench::run()
{
    SimClock::handleStopSignals();
    if (!openLine())
        return 1;
    writer.setSink(line.get());
    const double end = options.seconds > 0 ? options.seconds : kNever;
    const double unplugAt = pty && options.unplugAfter > 0 ? options.unplugAfter : kNever;
    const double replugAt =
        options.replugAfter > 0 ? options.unplugAfter + options.replugAfter : kNever;
    size_t turn = 0;
    int exitCode = 0;

    while (!SimClock::stopRequested()) {
        const double now = clock.now();
        if (now >= end)
            break;
        if (!unplugged && now >= unplugAt && now < replugAt) {
            unplug();
            continue;
        }
        if (unplugged && now >= replugAt) {
            if (!replug()) {
                exitCode = 1;
                break;
            }
            continue;
        }
        if (unplugged) {
            clock.sleepUntil(std::min(end, replugAt));
            continue;
        }
        // At full rate the instruments take turns as soon as the line is free;
        // otherwise the one whose reading is due first sends.
        Player *next = nullptr;
        double due;
        if (options.maxRate) {
            next = &players[turn++ % players.size()];
            due = writer.lineFreeAt();
            if (turn % players.size() == 0 && allSilent(now))
                due = now + 0.01; // nobody to take the line
        } else {
            next =
                &*std::min_element(players.begin(), players.end(),
                                   [](const Player &a, const Player &b) { return a.due < b.due; });
            due = next->due;
        }
        const double event = std::min({due, end, now < unplugAt ? unplugAt : kNever});
        if (event > now && !clock.sleepUntil(event))
            break;
        if (event < due)
            continue; // the end or an unplug comes first
        sendFrom(*next, clock.now());
        if (!options.maxRate) {
            // A few per cent of jitter, as the instruments' clocks are not ours.
            next->due +=
                next->interval * (0.97 + 0.06 * QRandomGenerator::global()->generateDouble());
            if (next->due < clock.now() - 1)
                next->due = clock.now(); // fell behind: no burst to catch up
        }
        if (!line->isOpen()) {
            err << "korvanta-sim: the line is gone" << Qt::endl;
            exitCode = 1;
            break;
        }
    }
    finish(std::min(clock.now(), end));
    return exitCode;
}

void SimBench::finish(double end)
{
    if (!unplugged)
        writer.settle(SimClock::stopRequested() ? 1.0 : 5.0);
    if (pty)
        pty->close();
    line.reset();
    pty = nullptr;
    err << writer.counts().reportLine(end) << Qt::endl;
}
