// The naming rules: whatever the source path, the description and the options, every
// destination name, cleaned or not, stays inside the destination folder.
#include "plan/naming.h"
#include "platform/drives.h"

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

// The input: one byte of option bits, one of folder levels, then the source path, a byte 0xFF
// and the description (0xFF is never part of UTF-8 text, and NUL bytes stay possible in both).
struct Input {
    plan::NamingOptions options;
    std::string_view source;
    std::string_view desc;
};

Input split(std::string_view data) {
    Input input;
    const auto bits = static_cast<unsigned char>(data[0]);
    input.options.renameFiles = bits & 1;
    input.options.renameByDescription = bits & 2;
    input.options.keepNamesStartingWithDigit = bits & 4;
    input.options.prefixListNumber = bits & 8;
    input.options.keepFolderLevels = bits & 16;
    input.options.invalidChars = static_cast<plan::InvalidCharAction>((bits >> 5) % 4);
    input.options.folderLevels = static_cast<unsigned char>(data[1]);
    data.remove_prefix(2);
    const size_t mark = data.find('\xFF');
    input.source = data.substr(0, mark);
    input.desc = mark == data.npos ? std::string_view() : data.substr(mark + 1);
    return input;
}

// `name` in full is the folder itself or lies below it; a name the file calls refuse (a NUL
// in it) names nothing at all.
bool staysInside(const std::string& name, const std::string& folder) {
    const auto full = platform::fullProgramPath(name);
    if (!full) {
        return name.find('\0') != std::string::npos;
    }
    return *full == folder || full->starts_with(folder + "\\");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    Input input = split(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const char* typed : {"D:\\Music", "D:/Music/", "D:\\Music\\.\\"}) {
        input.options.destFolder = plan::fullDestFolder(typed);
        check(input.options.destFolder == "D:\\Music");
        const std::string name = plan::destNameFor(input.options, input.source, input.desc, 7, 2);
        check(staysInside(name, "D:\\Music"));
        const auto cleaned =
            plan::cleanInvalidName(name, input.options.destFolder, input.options.invalidChars);
        check(staysInside(cleaned.value_or(name), "D:\\Music"));
    }
    return 0;
}
