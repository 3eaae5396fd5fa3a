#include "sources/track_description.h"

#include "store/track_list.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace sources {
namespace {

// One piece of a format: a literal text, or a placeholder with the value it takes.
struct Piece {
    bool placeholder = false;
    bool tagField = false; // a placeholder other than %filename%
    std::string text;
};

std::string numberText(const std::optional<int>& number, int digits) {
    if (!number) {
        return {};
    }
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", digits, *number);
    return text;
}

std::string fileNameOf(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

// The value of the placeholder `name` (between the "%"), nullopt when it is no placeholder.
// Only the field named is made: a description is made for every entry of a list.
std::optional<Piece> placeholder(std::string_view name, const TrackTags& tags, std::string_view path) {
    const auto field = [](std::string value) { return Piece{true, true, std::move(value)}; };
    const auto text = [](const std::optional<std::string>& value) { return value.value_or(std::string()); };
    if (name == "artist") {
        return field(text(tags.artist));
    }
    if (name == "title") {
        return field(text(tags.title));
    }
    if (name == "album") {
        return field(text(tags.album));
    }
    if (name == "track") {
        return field(numberText(tags.track, 2));
    }
    if (name == "disc") {
        return field(numberText(tags.disc, 1));
    }
    if (name == "year") {
        return field(numberText(tags.year, 1));
    }
    if (name == "filename") {
        return Piece{true, false, fileNameOf(path)};
    }
    return std::nullopt;
}

std::vector<Piece> piecesOf(std::string_view format, const TrackTags& tags, std::string_view path) {
    std::vector<Piece> pieces;
    const auto literal = [&pieces](std::string_view text) {
        if (pieces.empty() || pieces.back().placeholder) {
            pieces.push_back(Piece{});
        }
        pieces.back().text += text;
    };
    size_t at = 0;
    while (at < format.size()) {
        const size_t open = format.find('%', at);
        const size_t close = open == std::string_view::npos ? open : format.find('%', open + 1);
        if (close == std::string_view::npos) {
            literal(format.substr(at));
            break;
        }
        literal(format.substr(at, open - at));
        if (std::optional<Piece> value = placeholder(format.substr(open + 1, close - open - 1), tags, path)) {
            pieces.push_back(std::move(*value));
            at = close + 1;
        } else {
            literal(format.substr(open, close - open));
            at = close;
        }
    }
    return pieces;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string describeTrack(const TrackTags& tags, std::string_view format, std::string_view path) {
    const std::vector<Piece> pieces = piecesOf(format, tags, path);
    bool namesTagField = false;
    bool tagFieldFilled = false;
    std::optional<size_t> first;
    size_t last = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].placeholder) {
            namesTagField |= pieces[i].tagField;
            tagFieldFilled |= pieces[i].tagField && !pieces[i].text.empty();
            first = first.value_or(i);
            last = i;
        }
    }
    if (!first) {
        return trimmed(std::string(format));
    }
    if (namesTagField && !tagFieldFilled) {
        return {};
    }
    std::string description;
    if (*first > 0 && !pieces[*first].text.empty()) {
        description = pieces[0].text;
    }
    bool emitted = false;
    for (size_t i = *first; i <= last; ++i) {
        if (pieces[i].placeholder && !pieces[i].text.empty()) {
            if (emitted && !pieces[i - 1].placeholder) {
                description += pieces[i - 1].text;
            }
            description += pieces[i].text;
            emitted = true;
        }
    }
    if (last + 1 < pieces.size() && !pieces[last].text.empty()) {
        description += pieces[last + 1].text;
    }
    return trimmed(description);
}

int lengthSecondsOf(const TrackTags& tags) {
    if (!tags.lengthMs || *tags.lengthMs < 0) {
        return -1;
    }
    return static_cast<int>(std::min<int64_t>((*tags.lengthMs + 500) / 1000, INT32_MAX));
}

bool describeEntry(store::TrackEntry& entry, const TrackTags& tags, const TagOptions& options) {
    bool changed = false;
    if (entry.Desc.empty() || options.tagsWin) {
        std::string desc = describeTrack(tags, options.descriptionFormat, entry.OrigFileName);
        if (!desc.empty()) {
            entry.Desc = std::move(desc);
            changed = true;
        }
    }
    const int seconds = lengthSecondsOf(tags);
    if (seconds >= 0 && (entry.Len.value_or(0) <= 0 || options.tagsWin)) {
        entry.Len = seconds;
        changed = true;
    }
    return changed;
}

void applyTrackTags(store::TfdbObject& listDb, const std::vector<TrackTags>& tags, const TagOptions& options,
                    const std::vector<bool>& described) {
    using store::TrackField;
    const int count = std::min<int>(store::trackCount(listDb), static_cast<int>(tags.size()));
    for (int position = 0; position < count; ++position) {
        const auto place = static_cast<size_t>(position);
        if (place < described.size() && described[place]) {
            continue;
        }
        store::TrackEntry entry;
        store::readTrackEntry(listDb, position, entry);
        const std::string descBefore = entry.Desc;
        if (!describeEntry(entry, tags[place], options)) {
            continue;
        }
        if (entry.Desc != descBefore) {
            store::setTrackField(listDb, position, TrackField::Desc, store::StoreValue::fromText(entry.Desc));
        }
        if (entry.Len) {
            store::setTrackField(listDb, position, TrackField::Len, store::StoreValue::fromInt32(*entry.Len));
        }
    }
}

} // namespace sources
