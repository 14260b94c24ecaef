#pragma once

#include <QString>

// Why a recording could not start or had to stop.
struct RecordingFailure
{
    enum Reason
    {
        None,
        DiskFull,
        ReadOnly,
        NoPermission,
        Removed, // the drive or folder went away under the open file
        Other
    };

    Reason reason = None;
    QString systemText; // the system's own description of the error

    // The failure an errno value stands for.
    static RecordingFailure fromErrno(int error);
    // The reason in the current language; the system's text where the
    // language has no word for it.
    QString reasonText() const;
};
