#pragma once

#include "frameencoder.h"

#include <QByteArray>
#include <QRandomGenerator>

// Damages the line on purpose, in chosen shares, so the receive path can be
// tested: frames with a wrong checksum or a lost character, noise between
// frames and writes in random chunk sizes. Every damaged frame is sure to
// fail the checks, so the intact frames can be counted exactly.
class FaultInjector
{
public:
    struct Shares
    {
        double badChecksum = 0; // of the frames
        double lostChar = 0;    // of the frames
        double noise = 0;       // of the gaps before a frame
        bool randomChunks = false;
    };

    FaultInjector(const Shares &shares, quint32 seed) : shares(shares), random(seed) {}

    // None, or one of the three ways of breaking the checksum.
    FrameEncoder::Fault checksumFault();
    // Drops one character after the length field and before the last one, when
    // drawn; the frame is then one character short and cannot pass.
    bool loseCharacter(QByteArray &frame);
    // Nothing, or 1-16 bytes of line noise; never the start of a frame.
    QByteArray noise();
    // Size of the next write of what is left to send.
    int chunkSize(int remaining);

private:
    bool draw(double share) { return share > 0 && random.generateDouble() < share; }

    Shares shares;
    QRandomGenerator random;
};
