#include "copy/write_checks.h"

#include "copy/failure_reason.h"

#include "platform/drives.h"
#include "platform/read_back.h"
#include "platform/shown_paths.h"
#include "platform/volume_flush.h"
#include "texts/text_table.h"

#include <optional>
#include <utility>

namespace copy {

namespace {

constexpr int CopyDiffersRow = 211;
constexpr int CopyUnreadableRow = 212;
constexpr int FlushTitleRow = 213;
constexpr int FlushFailedRow = 214;

std::function<void(const std::string&)>& verifyHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

} // namespace

void setVerifyHookForTesting(std::function<void(const std::string& hostPath)> hook) {
    verifyHook() = std::move(hook);
}

bool verifyCopy(const std::string& sourcePath, const std::string& copyPath, ProgressDisplay& display) {
    if (verifyHook()) {
        if (std::optional<std::string> host = platform::toHostPath(copyPath)) {
            verifyHook()(*host);
        }
    }
    switch (platform::readBackAndCompare(sourcePath, copyPath)) {
    case platform::ReadBackResult::Same:
        return true;
    case platform::ReadBackResult::Differs:
        display.LogLine(texts::GetText(CopyDiffersRow));
        return false;
    case platform::ReadBackResult::Failed:
        display.LogLine(withLastFailureReason(texts::GetText(CopyUnreadableRow)));
        return false;
    }
    return false;
}

int flushWrites(const std::string& destFolder, const std::vector<std::string>& written,
                ProgressDisplay& display) {
    display.view().setPhaseTitle(texts::GetText(FlushTitleRow));
    display.view().processPendingMessages();
    if (platform::flushVolume(destFolder)) {
        return 0;
    }
    int lost = 0;
    for (const std::string& path : written) {
        if (!platform::flushFile(path)) {
            display.LogLine(
                withLastFailureReason(texts::formatTextOnce(FlushFailedRow, {platform::shownPath(path)})));
            ++lost;
        }
    }
    return lost;
}

} // namespace copy
