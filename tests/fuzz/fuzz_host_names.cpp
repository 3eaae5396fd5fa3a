// Host names into program paths: whatever bytes a host name holds, the program path made from
// it has no extra separator, drive or dot segment, and leads back to exactly that host name.
#include "platform/drives.h"
#include "platform/host_names.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A folder that no test touches, mounted once: the mapping never asks the host about it.
constexpr std::string_view HostRoot = "/tunewagon-fuzz-root";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool mounted = [] {
        platform::mountDrive('D', std::string(HostRoot));
        return true;
    }();
    (void)mounted;
    const std::string_view host(reinterpret_cast<const char*>(data), size);
    // What a host name can be: not empty, no "/" or NUL, not "." or "..".
    if (host.empty() || host == "." || host == ".." ||
        host.find_first_of(std::string_view("/\0", 2)) != host.npos) {
        return 0;
    }
    const std::string program = platform::programNameOfHostName(host);
    check(program.find_first_of(platform::ForbiddenNameChars) == std::string::npos);
    check(platform::hostNameOfProgramName(program) == host);

    // Read back as a path, the name is one whole name below its folder.
    const std::string path = "D:\\Music\\" + program;
    check(platform::fullProgramPath(path) == path);
    check(platform::toHostPath(path) == std::string(HostRoot) + "/Music/" + std::string(host));
    check(platform::toProgramPath(std::string(HostRoot) + "/Music/" + std::string(host)) == path);
    return 0;
}
