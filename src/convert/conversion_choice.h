// What a run converts and into what: the destination page's "Преобразовать" option or the
// command line's --convert, --convert-only-unplayable and --jobs, and the rule that picks the
// files from it. Plain values, shared by the naming rules, the preview and the copy run, so that
// the name an entry gets and the transfer it gets never disagree.
#pragma once

#include "convert/convert_format.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace convert {

// "всё" or "только то, что устройство не играет".
enum class ConvertWhich { All = 0, Unplayable = 1 };

struct ConversionChoice {
    // nullopt: nothing is converted, every file is copied as it is.
    std::optional<ConvertFormat> format{};
    ConvertWhich which = ConvertWhich::All;
    // With Unplayable: the extensions the device plays (device_formats.h); files with these are
    // copied as they are.
    std::vector<std::string> played{};
    // Conversions at once; 0 is one per processor core.
    unsigned jobs = 0;

    bool operator==(const ConversionChoice&) const = default;
};

// Whether a file with this extension (any case, with or without its dot) holds sound that the
// converter is meant for. Pictures, texts, playlists and unknown files are never converted:
// they go as they are, whatever the choice.
bool isAudioExtension(std::string_view extension);

// Whether the file at `sourcePath` (a program or host path) is converted under `choice`: a
// format is chosen, the file is audio by its extension, and with Unplayable the device does
// not play its extension.
bool convertsFile(const ConversionChoice& choice, std::string_view sourcePath);

// `destName` with the target's extension in place of its own (or added when it has none):
// "D:\dst\01 Song.flac" -> "D:\dst\01 Song.mp3". Folders in the name are left alone.
std::string convertedName(std::string_view destName, ConvertTarget target);

// The workers a run uses for `choice`: jobs, or one per core for 0; at least 1.
unsigned conversionWorkers(const ConversionChoice& choice);

} // namespace convert
