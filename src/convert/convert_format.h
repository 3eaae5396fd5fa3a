// The formats a file can be converted to, their quality settings, the command line's spelling
// of them ("mp3", "mp3:v0", "mp3:192", "ogg:q6", "opus:96") and the size a conversion is
// expected to take. Plain values: no encoder is asked here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace convert {

enum class ConvertTarget { Mp3, Vorbis, Opus };

// MP3 only: a quality level (VBR) or a fixed bitrate (CBR).
enum class BitrateMode { Variable, Constant };

struct ConvertFormat {
    ConvertTarget target = ConvertTarget::Mp3;
    BitrateMode mode = BitrateMode::Variable;
    // MP3 variable: the V level, 0 (best) to 9. MP3 constant: kbit/s, one of 128, 160, 192,
    // 224, 256, 320. Vorbis: the q level, 0 to 10 (best). Opus: kbit/s, 64 to 256.
    int quality = 2;

    bool operator==(const ConvertFormat&) const = default;
};

// MP3 V2, Vorbis q5, Opus 128 kbit/s: transparent to most ears at a moderate size.
ConvertFormat defaultFormat(ConvertTarget target);

// "mp3|ogg|opus[:QUALITY]", letters in either case: "mp3" (V2), "mp3:v0" .. "mp3:v9", "mp3:128"
// .. "mp3:320" (the CBR rates above), "ogg" (q5), "ogg:q6" or "ogg:6", "opus" (128), "opus:96".
// nullopt for any other text, a quality out of range included.
std::optional<ConvertFormat> parseConvertFormat(std::string_view text);
// The spelling parseConvertFormat reads back: "mp3:v2", "mp3:192", "ogg:q5", "opus:128".
std::string formatText(const ConvertFormat& format);

// Whether `format` is one that parseConvertFormat can give: its quality in its target's range,
// and a constant bitrate only for MP3.
bool isValidFormat(const ConvertFormat& format);

std::string targetExtension(ConvertTarget target); // ".mp3", ".ogg", ".opus"
std::string targetName(ConvertTarget target);      // "MP3", "Ogg Vorbis", "Opus"

// The expected size in bytes of `lengthMs` of sound in `format`: the bitrate times the length,
// with the encoder's typical average bitrate for a quality level. Tags and pictures are not
// counted. 0 for a length of 0 or less.
int64_t estimatedBytes(const ConvertFormat& format, int64_t lengthMs);

} // namespace convert
