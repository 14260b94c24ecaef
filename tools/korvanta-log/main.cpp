// korvanta-log: the instruments' readings on a serial port written to standard
// output or a file, without a window. See korvanta-log --help.
#include "logmessages.h"
#include "logoptions.h"
#include "logsession.h"
#include "programversion.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>

int main(int argc, char *argv[])
{
    // Qt's own event loop wakes with less work than GLib's, which counts at
    // the line's full rate.
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvanta-log"));
    QCoreApplication::setApplicationVersion(programVersion());
    QTextStream out(stdout);
    QTextStream err(stderr);

    LogOptions options;
    QString text;
    switch (LogOptions::parse(QCoreApplication::arguments(), options, text)) {
    case LogOptions::Outcome::Help:
    case LogOptions::Outcome::Version:
        out << text;
        return LogSession::Done;
    case LogOptions::Outcome::Error:
        err << LogMessages::line(text) << '\n'
            << LogOptions::usage() << "\nTry korvanta-log --help." << Qt::endl;
        return LogSession::BadArguments;
    case LogOptions::Outcome::Run:
        break;
    }

    // A closed reader shows as a failed write, not as a silent death.
    std::signal(SIGPIPE, SIG_IGN);

    LogSession session(options, err);
    return session.run();
}
