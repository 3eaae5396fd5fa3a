#include "platform/last_error.h"

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

thread_local std::string lastErrorSentence;
thread_local FileError lastErrorKind = FileError::None;

// strerror_r comes in two shapes (GNU returns the text, XSI fills the buffer); both end here.
[[maybe_unused]] const char* errorSentence(const char* text, const char*) {
    return text;
}
[[maybe_unused]] const char* errorSentence(int result, const char* buffer) {
    return result == 0 ? buffer : "Unknown error";
}

FileError kindOf(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return FileError::NotFound;
    case EACCES:
    case EPERM:
        return FileError::AccessDenied;
    case EROFS:
        return FileError::ReadOnlyMedium;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return FileError::DiskFull;
    case ENAMETOOLONG:
        return FileError::NameTooLong;
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY:
        return FileError::InUse;
    case EISDIR:
    case EINVAL:
        return FileError::NotAFile;
    case ENOTDIR:
        return FileError::NotAFolder;
    case EIO:
        return FileError::DeviceError;
    case ENODATA:
        return FileError::SourceShrank;
    case EEXIST:
    case ENOTEMPTY:
        return FileError::AlreadyExists;
    case ECANCELED:
        return FileError::Cancelled;
    default:
        return FileError::Other;
    }
}

} // namespace

void detail::setLastError(int errorNumber) {
    char buffer[256] = {};
    lastErrorSentence = errorSentence(strerror_r(errorNumber, buffer, sizeof buffer), buffer);
    lastErrorKind = kindOf(errorNumber);
}

void detail::setLastErrorText(std::string text, FileError kind) {
    lastErrorSentence = std::move(text);
    lastErrorKind = kind;
}

void detail::setLastErrorText(std::string text) {
    FileError kind = text == NoDriveText ? FileError::NotFound : FileError::Other;
    setLastErrorText(std::move(text), kind);
}

std::string lastErrorText() {
    return lastErrorSentence;
}

FileError lastError() {
    return lastErrorKind;
}

} // namespace platform
