// Start-up time of Korvanta beside CuteCom: from just before the process is
// started until its main window has been painted, both programs started in
// turn in one run, offscreen, each run with a fresh HOME and XDG folders.
//
//   bench_startup [--runs N] [--view numeric|graphic] [--language 0-7]
//                 [--korvanta PATH]... [--cutecom PATH] [--only korvanta|cutecom]
//
// --korvanta given more than once starts each of those builds in turn as well,
// for comparing two builds beside CuteCom in one run; each gets its ratio to
// CuteCom.
//
// Both programs load the same generic plugin (startupprobe, built beside this
// program), which reports when the first main window has been painted; nothing
// else differs in how they are started. Korvanta gets a settings file whose
// port does not exist, so it shows its serial dialog beside the window as on a
// machine without the instruments plugged in, and never waits for a port.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct Options
{
    int runs = 9;
    int view = 1;
    int language = 2;
    QStringList korvanta;
    QString cutecom;
    QString only;
};

struct Program
{
    QString name;
    QString path;
    bool korvanta = false;
    std::vector<double> ms;
};

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

void writeKorvantaSettings(const QString &home, const Options &options)
{
    const QString folder = home + "/Documents/Korvanta/settings";
    QDir().mkpath(folder);
    QFile file(folder + "/settings.ini");
    file.open(QIODevice::WriteOnly | QIODevice::Text);
    QTextStream out(&file);
    out << "[ids_LanguageType]\nLanguageType=" << options.language << "\n\n"
        << "[ids_DevView]\nmulView=1\nairgunView=1\npowerView=1\nelecIronView=1\n\n"
        << "[SerialInfo]\nnDisplayType=" << options.view << "\nstrSerialName=" << home
        << "/no-such-port\n";
}

// One start: milliseconds from just before the start until the window was
// painted, or a negative number when the program did not get there.
double startOnce(const Program &program, const Options &options, const QString &probeDir)
{
    QTemporaryDir home;
    const QString root = home.path();
    for (const char *sub : {"/config", "/cache", "/data", "/runtime"})
        QDir().mkpath(root + sub);
    QFile::setPermissions(root + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (program.korvanta)
        writeKorvantaSettings(root, options);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", root);
    env.insert("XDG_CONFIG_HOME", root + "/config");
    env.insert("XDG_CACHE_HOME", root + "/cache");
    env.insert("XDG_DATA_HOME", root + "/data");
    env.insert("XDG_RUNTIME_DIR", root + "/runtime");
    env.remove("XDG_DOCUMENTS_DIR");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_PLUGIN_PATH", probeDir);
    env.insert("QT_QPA_GENERIC_PLUGINS", "startupprobe");

    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(root);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setReadChannel(QProcess::StandardError);
    const long long started = monotonicNs();
    process.start(program.path, QStringList());
    if (!process.waitForStarted(10000)) {
        std::fprintf(stderr, "%s did not start: %s\n", qPrintable(program.path),
                     qPrintable(process.errorString()));
        return -1;
    }

    QByteArray output;
    long long shown = -1;
    while (shown < 0 && process.state() == QProcess::Running && process.waitForReadyRead(10000)) {
        output += process.readAllStandardError();
        const int at = output.indexOf("startup-probe shown ");
        if (at >= 0 && output.indexOf('\n', at) > at)
            shown = output.mid(at + 20, output.indexOf(' ', at + 20) - at - 20).toLongLong();
    }
    process.kill();
    process.waitForFinished(10000);
    if (shown < 0) {
        std::fprintf(stderr, "%s gave no window:\n%s\n", qPrintable(program.name),
                     (output + process.readAllStandardError()).constData());
        return -1;
    }
    return (shown - started) / 1e6;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const double at = p * (values.size() - 1);
    const size_t below = size_t(at);
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - below);
}

bool parse(const QStringList &args, Options &options)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--runs" && hasValue)
            options.runs = args[++i].toInt();
        else if (arg == "--view" && hasValue)
            options.view = args[++i] == "numeric" ? 0 : 1;
        else if (arg == "--language" && hasValue)
            options.language = args[++i].toInt();
        else if (arg == "--korvanta" && hasValue)
            options.korvanta << QFileInfo(args[++i]).absoluteFilePath();
        else if (arg == "--cutecom" && hasValue)
            options.cutecom = args[++i].contains('/') ? QFileInfo(args[i]).absoluteFilePath()
                                                      : QStandardPaths::findExecutable(args[i]);
        else if (arg == "--only" && hasValue)
            options.only = args[++i];
        else
            return false;
    }
    return options.runs > 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    options.cutecom = QStandardPaths::findExecutable("cutecom");
    const bool parsed = parse(app.arguments(), options);
    if (options.korvanta.isEmpty())
        options.korvanta << QCoreApplication::applicationDirPath() + "/korvanta";
    if (!parsed) {
        std::fprintf(stderr, "usage: bench_startup [--runs N] [--view numeric|graphic] "
                             "[--language 0-7] [--korvanta PATH]... [--cutecom PATH] "
                             "[--only korvanta|cutecom]\n");
        return 1;
    }
    const QString probeDir = QCoreApplication::applicationDirPath() + "/startup-probe";
    if (!QFileInfo::exists(probeDir + "/generic")) {
        std::fprintf(stderr, "bench_startup: no %s/generic (build the startupprobe target)\n",
                     qPrintable(probeDir));
        return 1;
    }

    std::vector<Program> programs;
    if (options.only != "cutecom")
        for (int i = 0; i < options.korvanta.size(); ++i) {
            const QString name = options.korvanta.size() > 1 ? QString("korvanta%1").arg(i + 1)
                                                             : QString("korvanta");
            programs.push_back({name, options.korvanta[i], true, {}});
            std::printf("%s: %s\n", qPrintable(name), qPrintable(options.korvanta[i]));
        }
    if (options.only != "korvanta") {
        if (options.cutecom.isEmpty()) {
            std::fprintf(stderr, "bench_startup: cutecom not found (apt-get install cutecom)\n");
            return 1;
        }
        programs.push_back({"cutecom", options.cutecom, false, {}});
    }

    // One start each that is not counted fills the page cache.
    for (int run = -1; run < options.runs; ++run) {
        for (Program &program : programs) {
            const double ms = startOnce(program, options, probeDir);
            if (ms < 0)
                return 2;
            if (run >= 0)
                program.ms.push_back(ms);
            std::printf("%-10s run %2d  %6.1f ms%s\n", qPrintable(program.name), run + 1, ms,
                        run < 0 ? "  (warm-up, not counted)" : "");
            std::fflush(stdout);
        }
    }

    std::printf("\n%-10s %7s %7s %7s %7s %7s  (ms, %d runs each, interleaved)\n", "", "median",
                "min", "q1", "q3", "max", options.runs);
    for (const Program &program : programs)
        std::printf("%-10s %7.1f %7.1f %7.1f %7.1f %7.1f\n", qPrintable(program.name),
                    percentile(program.ms, 0.5), percentile(program.ms, 0),
                    percentile(program.ms, 0.25), percentile(program.ms, 0.75),
                    percentile(program.ms, 1));
    if (programs.size() >= 2 && !programs.back().korvanta)
        for (size_t i = 0; i + 1 < programs.size(); ++i)
            std::printf("ratio of the medians, %s to cutecom: %.2f\n", qPrintable(programs[i].name),
                        percentile(programs[i].ms, 0.5) / percentile(programs.back().ms, 0.5));
    return 0;
}
