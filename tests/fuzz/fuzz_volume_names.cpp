// The names a run writes onto a volume: whatever the planned names below the destination
// folder, the volume's rules, the driver's and the treatment of refused characters, each name
// the run writes is taken by the same rules, lies below the folder, and differs (letter case
// aside) from every other entry's, so no entry of a run writes over another.
#include "plan/run_names.h"
#include "plan/volume_check.h"
#include "platform/name_case.h"
#include "platform/volume_facts.h"
#include "sources/text_decoding.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

const std::string Dest = "D:\\Stick";

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

platform::VolumeFacts factsOf(unsigned char bits) {
    const platform::VolumeKind kinds[] = {platform::VolumeKind::Fat32, platform::VolumeKind::ExFat,
                                          platform::VolumeKind::Ntfs, platform::VolumeKind::Posix};
    platform::VolumeFacts facts = platform::volumeFactsOfKind(kinds[bits % 4]);
    facts.asciiNamesOnly = (bits & 4) != 0;
    return facts;
}

// The parts of `below` between separators ("\" and "/" alike, as in every program path); false
// for a part that names no file ("" or a dot segment), which the naming rules never plan.
bool partsOf(std::string_view below, std::vector<std::string_view>& parts) {
    parts.clear();
    size_t start = 0;
    for (size_t i = 0; i <= below.size(); ++i) {
        if (i == below.size() || below[i] == '\\' || below[i] == '/') {
            const std::string_view part = below.substr(start, i - start);
            if (part.empty() || part == "." || part == "..") {
                return false;
            }
            parts.push_back(part);
            start = i + 1;
        }
    }
    return true;
}

} // namespace

// The input: one byte of options (volume kind, ASCII-only driver, treatment), then the planned
// names below the folder, separated by bytes 0xFF.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const platform::VolumeFacts facts = factsOf(data[0]);
    const auto action = static_cast<plan::InvalidCharAction>((data[0] >> 3) % 3);
    std::vector<std::string> written;
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t mark = 0; mark <= text.size(); ++mark) {
        if (mark < text.size() && text[mark] != '\xFF') {
            continue;
        }
        const std::string_view below = text.substr(start, mark - start);
        start = mark + 1;
        if (!partsOf(below, parts) || below.find('\0') != std::string_view::npos ||
            !sources::isValidUtf8(below) || written.size() == 64) {
            continue;
        }
        written.push_back(plan::plannedNameOnVolume(facts, Dest + "\\" + std::string(below), Dest, action));
    }
    const std::vector<std::string> distinct = plan::distinctRunNames(written);
    std::set<std::string> folded;
    for (const std::string& name : distinct) {
        check(name.starts_with(Dest + "\\"));
        check(partsOf(std::string_view(name).substr(Dest.size() + 1), parts));
        for (std::string_view part : parts) {
            check(plan::volumeTakesName(facts, part));
        }
        check(folded.insert(platform::foldNameCase(name)).second);
    }
    return 0;
}
