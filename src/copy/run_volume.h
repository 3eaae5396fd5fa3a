// The destination volume as a copy run sees it. The facts (platform/volume_facts.h) are asked
// once, at the run's start; they decide the name each entry is written under (the names the
// volume refuses are cleaned, as the preview told), which files are not attempted because the
// volume cannot hold them, what the files take of its free space, and whether the run ends by
// flushing the volume. Without facts (the volume could not be asked) every name is written as
// planned, no size is refused and sizes count as they are.
#pragma once

#include "copy/copy_options.h"

#include "platform/volume_facts.h"

#include <cstdint>
#include <optional>
#include <string>

namespace copy {

class RunVolume {
public:
    // Asks the facts of the volume under options.DestFolder.
    explicit RunVolume(const CopyOptions& options);
    RunVolume(std::optional<platform::VolumeFacts> facts, const CopyOptions& options);

    const std::optional<platform::VolumeFacts>& facts() const { return m_facts; }

    // The program path an entry planned as `planned` (its FileName) is written under: each part
    // below the destination folder that the volume refuses treated by the user's choice for
    // invalid characters and fitted to the volume and to the 255 bytes of a host name
    // (plan::plannedNameOnVolume, as the preview showed it).
    std::string destName(const std::string& planned) const;
    // Whether the volume takes the file name of `programPath` as it is: the last look before a
    // file is created or renamed there, since a driver may lose a file renamed onto a name it
    // refuses. Always true without facts.
    bool takesFileName(const std::string& programPath) const;

    // A source of `length` bytes (-1: not measured) that the volume cannot hold.
    bool tooBig(int64_t length) const;
    // The log line that says why such a file is not attempted.
    std::string tooBigLine(const std::string& destProgramPath, int64_t length) const;
    // What a file of `length` bytes takes of the volume: whole allocation units.
    int64_t spaceTaken(int64_t length) const;

    // Whether the run ends by flushing what it wrote: on a removable or slow volume, or always
    // when the user asked for it.
    bool flushAtEnd() const;

private:
    std::optional<platform::VolumeFacts> m_facts;
    std::string m_destFolder; // in full, as the FileNames begin
    const CopyOptions& m_options;
};

} // namespace copy
