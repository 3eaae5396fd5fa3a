#include "convert/conversion_choice.h"

#include "convert/device_formats.h"

#include <algorithm>
#include <thread>

namespace convert {
namespace {

// The extension of the last part of a path, without its dot; "" when there is none.
std::string_view extensionOf(std::string_view path) {
    const size_t nameStart = path.find_last_of("\\/:");
    const std::string_view name = nameStart == std::string_view::npos ? path : path.substr(nameStart + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

} // namespace

bool isAudioExtension(std::string_view extension) {
    // What decodebin decodes with the Debian plugin packages the program depends on, and the
    // common formats that need gstreamer1.0-libav (a missing decoder is the entry's error).
    static const std::vector<std::string> audio = {
        "mp3",  "mp2", "mpa",  "flac", "ogg", "oga", "opus", "spx", "m4a", "m4b", "mp4", "aac", "wav",
        "wave", "aif", "aiff", "aifc", "wma", "ape", "wv",   "mpc", "ac3", "tta", "mka", "au",  "caf"};
    return playedByDevice(extension, audio);
}

bool convertsFile(const ConversionChoice& choice, std::string_view sourcePath) {
    if (!choice.format) {
        return false;
    }
    const std::string_view extension = extensionOf(sourcePath);
    if (!isAudioExtension(extension)) {
        return false;
    }
    return choice.which == ConvertWhich::All || !playedByDevice(extension, choice.played);
}

std::string convertedName(std::string_view destName, ConvertTarget target) {
    const std::string_view extension = extensionOf(destName);
    std::string_view stem = destName;
    if (!extension.empty()) {
        stem.remove_suffix(extension.size() + 1);
    }
    return std::string(stem) + targetExtension(target);
}

unsigned conversionWorkers(const ConversionChoice& choice) {
    if (choice.jobs > 0) {
        return choice.jobs;
    }
    return std::max(1U, std::thread::hardware_concurrency());
}

} // namespace convert
