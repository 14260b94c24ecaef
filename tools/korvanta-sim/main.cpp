// korvanta-sim: the four instruments on a pseudo-terminal, for trying and
// testing Korvanta without them. See korvanta-sim --help.
#include "programversion.h"
#include "simbench.h"
#include "simoptions.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvanta-sim"));
    QCoreApplication::setApplicationVersion(programVersion());
    QTextStream out(stdout);
    QTextStream err(stderr);

    SimOptions options;
    QString text;
    switch (SimOptions::parse(QCoreApplication::arguments(), options, text)) {
    case SimOptions::Outcome::Help:
    case SimOptions::Outcome::Version:
        out << text;
        return 0;
    case SimOptions::Outcome::Error:
        err << "korvanta-sim: " << text << "\nTry korvanta-sim --help." << Qt::endl;
        return 2;
    case SimOptions::Outcome::Run:
        break;
    }
    SimBench bench(options, out, err);
    return bench.run();
}
