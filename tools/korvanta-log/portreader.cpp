#include "portreader.h"

PortReader::PortReader(QObject *parent) : QObject(parent)
{
    connect(&poller, &PortPoller::received, this, &PortReader::take);
    connect(&poller, &PortPoller::lost, this, [this](const QString &reason) {
        close();
        emit lost(reason);
    });
}

bool PortReader::open(const QString &portName, PortStatus &status, QString &systemText)
{
    splitter.clear();
    return poller.open(portName, status, systemText);
}

void PortReader::close()
{
    poller.close();
}

void PortReader::take(const QByteArray &chunk)
{
    if (!reportUnframed) {
        for (const QByteArray &frame : splitter.feed(chunk))
            emit frameReceived(frame);
        return;
    }
    // What the splitter lets go of is its frames and, around them, the text
    // that is none; what it holds back stays for the next chunk.
    const QByteArray text = splitter.buffered() + chunk;
    const QList<QByteArray> frames = splitter.feed(chunk);
    const int consumed = text.size() - splitter.buffered().size();
    int from = 0;
    for (const QByteArray &frame : frames) {
        const int at = text.indexOf(frame, from);
        if (at > from)
            reportUnframedText(text.mid(from, at - from));
        emit frameReceived(frame);
        if (at >= 0)
            from = at + frame.size();
    }
    if (consumed > from)
        reportUnframedText(text.mid(from, consumed - from));
}

void PortReader::reportUnframedText(const QByteArray &text)
{
    int from = 0;
    while (from < text.size()) {
        int next = text.indexOf("C1", from + 1);
        if (next < 0)
            next = text.size();
        emit unframedReceived(text.mid(from, next - from));
        from = next;
    }
}
