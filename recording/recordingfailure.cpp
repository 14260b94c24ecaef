#include "recordingfailure.h"

#include "languagetext.h"

#include <cerrno>

RecordingFailure RecordingFailure::fromErrno(int error)
{
    RecordingFailure failure;
    switch (error) {
    case ENOSPC:
        failure.reason = DiskFull;
        break;
    case EROFS:
        failure.reason = ReadOnly;
        break;
    case EACCES:
    case EPERM:
        failure.reason = NoPermission;
        break;
    case ENOENT:
    case ENODEV:
    case EIO:
    case ENXIO:
        failure.reason = Removed;
        break;
    default:
        failure.reason = Other;
        break;
    }
    failure.systemText = qt_error_string(error);
    return failure;
}

QString RecordingFailure::reasonText() const
{
    const char *key = nullptr;
    switch (reason) {
    case DiskFull:
        key = "ids_Record_Language/ids_diskFull";
        break;
    case ReadOnly:
        key = "ids_Record_Language/ids_readOnly";
        break;
    case NoPermission:
        key = "ids_Record_Language/ids_noPermission";
        break;
    case Removed:
        key = "ids_Record_Language/ids_removed";
        break;
    default:
        return systemText;
    }
    const QString text = languageText[QLatin1String(key)];
    return text.isEmpty() ? systemText : text;
}
