// The mount table read as text and the kind of volume each mount is. Pure functions, so that the
// tests can feed them mount table lines of volumes this machine does not have.
#include "platform/volume_facts.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace platform {
namespace {

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// mountinfo writes a blank, tab, newline and backslash in a path as \040, \011, \012 and \134.
std::string decodeOctalEscapes(std::string_view text) {
    const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && isOctal(text[i + 1]) && isOctal(text[i + 2]) &&
            isOctal(text[i + 3])) {
            decoded +=
                static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0'));
            i += 3;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t at = 0;
    while (at < line.size()) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string_view::npos) {
            break;
        }
        size_t end = line.find_first_of(" \t", at);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        fields.push_back(line.substr(at, end - at));
        at = end;
    }
    return fields;
}

bool parseDevice(std::string_view text, unsigned& major, unsigned& minor) {
    size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const char* end = text.data() + text.size();
    auto first = std::from_chars(text.data(), text.data() + colon, major);
    auto second = std::from_chars(text.data() + colon + 1, end, minor);
    return first.ec == std::errc() && first.ptr == text.data() + colon && second.ec == std::errc() &&
           second.ptr == end;
}

bool containsFolder(std::string_view mountPoint, std::string_view folder) {
    if (mountPoint == "/") {
        return !folder.empty() && folder.front() == '/';
    }
    return folder.starts_with(mountPoint) &&
           (folder.size() == mountPoint.size() || folder[mountPoint.size()] == '/');
}

// The kind that the name of a file system or of its driver stands for; nullopt for any other name.
std::optional<VolumeKind> kindOfName(std::string_view name) {
    static constexpr std::array fat{"vfat", "msdos", "fat", "fusefat"};
    static constexpr std::array exfat{"exfat", "exfat-fuse", "fuse-exfat"};
    static constexpr std::array ntfs{"ntfs", "ntfs3", "ntfs-3g", "lowntfs-3g"};
    const std::string lower = lowerAscii(name);
    const auto isIn = [&lower](const auto& names) {
        return std::find(names.begin(), names.end(), lower) != names.end();
    };
    if (isIn(fat)) {
        return VolumeKind::Fat32;
    }
    if (isIn(exfat)) {
        return VolumeKind::ExFat;
    }
    if (isIn(ntfs)) {
        return VolumeKind::Ntfs;
    }
    return std::nullopt;
}

std::string_view optionValue(std::string_view options, std::string_view key) {
    size_t at = 0;
    while (at <= options.size()) {
        size_t end = options.find(',', at);
        if (end == std::string_view::npos) {
            end = options.size();
        }
        std::string_view option = options.substr(at, end - at);
        if (option.size() > key.size() && option.starts_with(key) && option[key.size()] == '=') {
            return option.substr(key.size() + 1);
        }
        at = end + 1;
    }
    return {};
}

} // namespace

VolumeFacts volumeFactsOfKind(VolumeKind kind) {
    VolumeFacts facts;
    facts.kind = kind;
    facts.maxFileSize = kind == VolumeKind::Fat32 ? Fat32MaxFileSize : NoFileSizeLimit;
    facts.windowsNameRules = kind != VolumeKind::Posix;
    facts.caseInsensitive = kind != VolumeKind::Posix;
    facts.removable =
        kind == VolumeKind::Fat32 || kind == VolumeKind::ExFat || kind == VolumeKind::UnknownFuseBlock;
    return facts;
}

namespace detail {

std::optional<MountEntry> parseMountInfoLine(std::string_view line) {
    // id parent major:minor root mount-point options [optional fields...] - type source super-options
    const std::vector<std::string_view> fields = splitFields(line);
    auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
    if (fields.size() < 6 || dash - fields.begin() < 6 || fields.end() - dash < 3) {
        return std::nullopt;
    }
    MountEntry entry;
    if (!parseDevice(fields[2], entry.major, entry.minor)) {
        return std::nullopt;
    }
    entry.mountPoint = decodeOctalEscapes(fields[4]);
    entry.fsType = decodeOctalEscapes(dash[1]);
    entry.source = decodeOctalEscapes(dash[2]);
    if (fields.end() - dash > 3) {
        entry.superOptions = decodeOctalEscapes(dash[3]);
    }
    return entry;
}

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (auto entry = parseMountInfoLine(line)) {
            entries.push_back(std::move(*entry));
        }
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return entries;
}

const MountEntry* findMount(const std::vector<MountEntry>& entries, unsigned major, unsigned minor,
                            std::string_view hostFolder) {
    const MountEntry* byDevice = nullptr;
    const MountEntry* byPrefix = nullptr;
    const auto deeper = [](const MountEntry* best, const MountEntry& entry) {
        return best == nullptr || entry.mountPoint.size() >= best->mountPoint.size();
    };
    for (const MountEntry& entry : entries) {
        if (!containsFolder(entry.mountPoint, hostFolder)) {
            continue;
        }
        if (deeper(byPrefix, entry)) {
            byPrefix = &entry;
        }
        if (entry.major == major && entry.minor == minor && deeper(byDevice, entry)) {
            byDevice = &entry;
        }
    }
    return byDevice != nullptr ? byDevice : byPrefix;
}

VolumeKind volumeKindOf(const MountEntry& entry, std::string_view deviceFsType) {
    const std::string type = lowerAscii(entry.fsType);
    if (auto kind = kindOfName(type)) {
        return *kind;
    }
    // FUSE mounts: "fuse.<subtype>" and "fuseblk.<subtype>" name their driver; a plain "fuse" or
    // "fuseblk" may name it in a subtype option or as its source ("fusefat"), but a source that
    // is a path ("/dev/disk/by-label/NTFS") is a device, and its name says nothing.
    const bool block = type == "fuseblk" || type.starts_with("fuseblk.");
    if (!block && type != "fuse" && !type.starts_with("fuse.")) {
        return VolumeKind::Posix;
    }
    const size_t dot = type.find('.');
    std::optional<VolumeKind> named;
    if (dot != std::string::npos) {
        named = kindOfName(std::string_view(type).substr(dot + 1));
    } else {
        named = kindOfName(optionValue(entry.superOptions, "subtype"));
        if (!named && !entry.source.starts_with("/")) {
            named = kindOfName(entry.source);
        }
    }
    if (named) {
        return *named;
    }
    if (!block) {
        return VolumeKind::Posix; // sshfs and the like: the far side's rules are unknown, not Windows'
    }
    return kindOfName(deviceFsType).value_or(VolumeKind::UnknownFuseBlock);
}

VolumeKind volumeKindOfMagic(int64_t magic) {
    switch (magic) {
    case 0x4d44: // MSDOS_SUPER_MAGIC
        return VolumeKind::Fat32;
    case 0x2011BAB0: // EXFAT_SUPER_MAGIC
        return VolumeKind::ExFat;
    case 0x5346544e: // NTFS_SB_MAGIC
        return VolumeKind::Ntfs;
    case 0x65735546: // FUSE_SUPER_MAGIC
        return VolumeKind::UnknownFuseBlock;
    default:
        return VolumeKind::Posix;
    }
}

} // namespace detail
} // namespace platform
