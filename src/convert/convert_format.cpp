#include "convert/convert_format.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace convert {
namespace {

constexpr std::array Mp3ConstantRates{128, 160, 192, 224, 256, 320};

// Average bitrates in kbit/s that the encoders typically reach on music at each quality level
// (44.1 kHz stereo): LAME's own table of its -V presets for MP3 V0..V9, and the nominal
// bitrates that libvorbis documents for q0..q10. Real files land within about 15 % of these.
constexpr std::array Mp3VariableKbps{245, 225, 190, 175, 165, 130, 115, 100, 85, 65};
constexpr std::array VorbisKbps{64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 500};

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// Digits only (no sign, no blanks, no leading zero), at most three of them.
std::optional<int> smallNumber(std::string_view text) {
    if (text.empty() || text.size() > 3 || (text.size() > 1 && text.front() == '0')) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<ConvertFormat> mp3Format(std::string_view quality) {
    ConvertFormat format = defaultFormat(ConvertTarget::Mp3);
    if (quality.starts_with('v')) {
        const auto level = smallNumber(quality.substr(1));
        if (!level || *level > 9) {
            return std::nullopt;
        }
        format.quality = *level;
        return format;
    }
    const auto kbps = smallNumber(quality);
    if (!kbps ||
        std::find(Mp3ConstantRates.begin(), Mp3ConstantRates.end(), *kbps) == Mp3ConstantRates.end()) {
        return std::nullopt;
    }
    format.mode = BitrateMode::Constant;
    format.quality = *kbps;
    return format;
}

std::optional<ConvertFormat> vorbisFormat(std::string_view quality) {
    if (quality.starts_with('q')) {
        quality.remove_prefix(1);
    }
    const auto level = smallNumber(quality);
    if (!level || *level > 10) {
        return std::nullopt;
    }
    return ConvertFormat{.target = ConvertTarget::Vorbis, .quality = *level};
}

std::optional<ConvertFormat> opusFormat(std::string_view quality) {
    const auto kbps = smallNumber(quality);
    if (!kbps || *kbps < 64 || *kbps > 256) {
        return std::nullopt;
    }
    return ConvertFormat{.target = ConvertTarget::Opus, .quality = *kbps};
}

int averageKbps(const ConvertFormat& format) {
    switch (format.target) {
    case ConvertTarget::Mp3:
        if (format.mode == BitrateMode::Constant) {
            return format.quality;
        }
        return Mp3VariableKbps.at(static_cast<size_t>(std::clamp(format.quality, 0, 9)));
    case ConvertTarget::Vorbis:
        return VorbisKbps.at(static_cast<size_t>(std::clamp(format.quality, 0, 10)));
    case ConvertTarget::Opus:
        return format.quality;
    }
    return format.quality;
}

} // namespace

ConvertFormat defaultFormat(ConvertTarget target) {
    switch (target) {
    case ConvertTarget::Mp3:
        return {.target = ConvertTarget::Mp3, .quality = 2};
    case ConvertTarget::Vorbis:
        return {.target = ConvertTarget::Vorbis, .quality = 5};
    case ConvertTarget::Opus:
        return {.target = ConvertTarget::Opus, .quality = 128};
    }
    return {};
}

std::optional<ConvertFormat> parseConvertFormat(std::string_view text) {
    const std::string lower = lowered(text);
    const size_t colon = lower.find(':');
    const std::string_view name = std::string_view(lower).substr(0, colon);
    std::optional<ConvertTarget> target;
    if (name == "mp3") {
        target = ConvertTarget::Mp3;
    } else if (name == "ogg") {
        target = ConvertTarget::Vorbis;
    } else if (name == "opus") {
        target = ConvertTarget::Opus;
    }
    if (!target) {
        return std::nullopt;
    }
    if (colon == std::string::npos) {
        return defaultFormat(*target);
    }
    const std::string_view quality = std::string_view(lower).substr(colon + 1);
    switch (*target) {
    case ConvertTarget::Mp3:
        return mp3Format(quality);
    case ConvertTarget::Vorbis:
        return vorbisFormat(quality);
    case ConvertTarget::Opus:
        return opusFormat(quality);
    }
    return std::nullopt;
}

std::string formatText(const ConvertFormat& format) {
    const std::string quality = std::to_string(format.quality);
    switch (format.target) {
    case ConvertTarget::Mp3:
        return format.mode == BitrateMode::Constant ? "mp3:" + quality : "mp3:v" + quality;
    case ConvertTarget::Vorbis:
        return "ogg:q" + quality;
    case ConvertTarget::Opus:
        return "opus:" + quality;
    }
    return {};
}

bool isValidFormat(const ConvertFormat& format) {
    return parseConvertFormat(formatText(format)) == format;
}

std::string targetExtension(ConvertTarget target) {
    switch (target) {
    case ConvertTarget::Mp3:
        return ".mp3";
    case ConvertTarget::Vorbis:
        return ".ogg";
    case ConvertTarget::Opus:
        return ".opus";
    }
    return {};
}

std::string targetName(ConvertTarget target) {
    switch (target) {
    case ConvertTarget::Mp3:
        return "MP3";
    case ConvertTarget::Vorbis:
        return "Ogg Vorbis";
    case ConvertTarget::Opus:
        return "Opus";
    }
    return {};
}

int64_t estimatedBytes(const ConvertFormat& format, int64_t lengthMs) {
    if (lengthMs <= 0) {
        return 0;
    }
    // kbit/s * ms = bits; / 8 for bytes.
    return static_cast<int64_t>(averageKbps(format)) * lengthMs / 8;
}

} // namespace convert
