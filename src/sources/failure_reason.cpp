#include "sources/failure_reason.h"

#include "texts/text_table.h"

namespace sources {

std::string failureReason(platform::FileError kind) {
    using platform::FileError;
    switch (kind) {
    case FileError::None:
        return {};
    case FileError::DiskFull:
        return texts::GetText(160);
    case FileError::AccessDenied:
        return texts::GetText(161);
    case FileError::ReadOnlyMedium:
        return texts::GetText(162);
    case FileError::NameTooLong:
        return texts::GetText(163);
    case FileError::InUse:
        return texts::GetText(164);
    case FileError::NotFound:
        return texts::GetText(165);
    case FileError::DeviceError:
        return texts::GetText(166);
    case FileError::NotAFile:
        return texts::GetText(167);
    case FileError::NotAFolder:
        return texts::GetText(168);
    case FileError::SourceShrank:
        return texts::GetText(174);
    case FileError::SourceChanged:
        return texts::GetText(175);
    case FileError::Cancelled:
        return texts::GetText(176);
    case FileError::AlreadyExists:
        return texts::GetText(177);
    case FileError::SameFile:
        return texts::GetText(178);
    case FileError::Other:
        break;
    }
    return texts::FormatText(169, {platform::lastErrorText()});
}

std::string withLastFailureReason(const std::string& line) {
    std::string reason = failureReason(platform::lastError());
    return reason.empty() ? line : line + ": " + reason;
}

} // namespace sources
