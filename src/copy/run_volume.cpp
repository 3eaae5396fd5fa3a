#include "copy/run_volume.h"

#include "plan/path_rules.h"
#include "plan/volume_check.h"
#include "platform/shown_paths.h"
#include "platform/volume_name_rules.h"
#include "texts/size_text.h"
#include "texts/text_table.h"

#include <utility>

namespace copy {

RunVolume::RunVolume(const CopyOptions& options)
    : RunVolume(options.Dest ? options.Dest->volume
                             : platform::volumeFactsOf(plan::fullDestFolder(options.DestFolder)),
                options) {}

RunVolume::RunVolume(std::optional<platform::VolumeFacts> facts, const CopyOptions& options)
    : m_facts(std::move(facts)),
      m_destFolder(options.Dest ? options.Dest->programPath : plan::fullDestFolder(options.DestFolder)),
      m_options(options) {}

std::string RunVolume::destName(const std::string& planned) const {
    if (!m_facts) {
        return planned;
    }
    return plan::plannedNameOnVolume(*m_facts, planned, m_destFolder, m_options.InvalidChars);
}

bool RunVolume::takesFileName(const std::string& programPath) const {
    if (!m_facts) {
        return true;
    }
    std::string name = plan::FileNamePart(programPath);
    return plan::volumeTakesName(*m_facts, name);
}

bool RunVolume::tooBig(int64_t length) const {
    return m_facts && length > m_facts->maxFileSize;
}

namespace {

constexpr int TooBigRow = 210;

} // namespace

std::string RunVolume::tooBigLine(const std::string& destProgramPath, int64_t length) const {
    const int64_t largest = m_facts ? m_facts->maxFileSize : platform::NoFileSizeLimit;
    const std::string volume = m_facts ? plan::volumeName(*m_facts) : std::string();
    return texts::formatTextOnce(TooBigRow, {platform::shownPath(destProgramPath), texts::SizeText(length),
                                             std::to_string(length), volume, std::to_string(largest)});
}

int64_t RunVolume::spaceTaken(int64_t length) const {
    return m_facts ? platform::roundUpToAllocationUnit(length, m_facts->allocationUnit) : length;
}

bool RunVolume::flushAtEnd() const {
    return m_options.FlushAlways || (m_facts && m_facts->removable);
}

} // namespace copy
