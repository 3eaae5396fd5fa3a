// The tag reader over TagLib. TagLib reads through a stream over the descriptor the caller
// opened (read-only, with all sharing denied), so it never opens a path itself and can write
// nothing: the stream refuses every change.
#include "sources/tag_reader.h"

#include "sources/mpeg_frames.h"
#include "sources/text_decoding.h"

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/tiostream.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <exception>
#include <mutex>

namespace sources {
namespace {

// A read-only TagLib stream over an open file of the platform layer. Small reads (a search,
// block by block) stop at ScanBudget bytes in all and then answer as at the file's end: tags and
// audio properties lie near the ends of a file, but TagLib looks for an MPEG frame through the
// whole file, and a large file without one (4 GB of zeros named .mp3) would otherwise be read
// to its end. A tag is read in one large block and is not counted. The frame walk that times
// an MP3 without a VBR header reads its 4-byte frame headers from the same budget.
class HandleStream : public TagLib::IOStream {
    static constexpr int64_t ScanBudget = 1 << 20;
    static constexpr unsigned long LargestScanRead = 64 << 10;

public:
    HandleStream(platform::FileHandle file, const std::string& path) : m_file(file), m_name(path) {
        m_length = platform::fileLength(file);
        platform::seekFile(file, 0);
    }

    TagLib::FileName name() const override { return m_name.c_str(); }
    // No more than the file still holds, so that a damaged size field costs no large buffer.
    TagLib::ByteVector readBlock(unsigned long length) override {
        const int64_t left =
            std::max<int64_t>(m_length - std::max<int64_t>(platform::filePosition(m_file), 0), 0);
        const bool scanning = length <= LargestScanRead;
        const int64_t budget = scanning ? ScanBudget - m_scanned : left;
        const int64_t wanted = std::min({static_cast<int64_t>(length), left, budget});
        TagLib::ByteVector bytes(static_cast<unsigned int>(std::max<int64_t>(wanted, 0)), '\0');
        const int64_t got = wanted > 0 ? platform::readFile(m_file, bytes.data(), wanted) : 0;
        bytes.resize(static_cast<unsigned int>(std::max<int64_t>(got, 0)));
        if (scanning) {
            m_scanned += std::max<int64_t>(got, 0);
        }
        return bytes;
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return m_length >= 0; }
    void seek(long offset, Position from) override {
        int64_t base = 0;
        if (from == Current) {
            base = platform::filePosition(m_file);
        } else if (from == End) {
            base = m_length;
        }
        platform::seekFile(m_file, std::max<int64_t>(base + offset, 0));
    }
    long tell() const override { return static_cast<long>(platform::filePosition(m_file)); }
    long length() override { return static_cast<long>(m_length); }
    void truncate(long) override {}

private:
    platform::FileHandle m_file;
    std::string m_name;
    int64_t m_length = -1;
    int64_t m_scanned = 0;
};

// Texts of the old tag kinds that carry no encoding (ID3v1, RIFF INFO): UTF-8 where the bytes
// are well-formed UTF-8, else Windows-1251, as the playlists of the same collections are read.
template <typename Base> class Windows1251Texts : public Base {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override {
        std::string_view bytes(data.data(), data.size());
        bytes = bytes.substr(0, bytes.find('\0'));
        const std::string utf8 = isValidUtf8(bytes) ? std::string(bytes) : utf8FromWindows1251(bytes);
        return TagLib::String(utf8, TagLib::String::UTF8).stripWhiteSpace();
    }
};

void useWindows1251ForOldTags() {
    static std::once_flag once;
    std::call_once(once, [] {
        static Windows1251Texts<TagLib::ID3v1::StringHandler> id3v1;
        static Windows1251Texts<TagLib::RIFF::Info::StringHandler> riffInfo;
        TagLib::ID3v1::Tag::setStringHandler(&id3v1);
        TagLib::RIFF::Info::Tag::setStringHandler(&riffInfo);
    });
}

std::optional<std::string> textOf(const TagLib::String& text) {
    std::string utf8 = text.stripWhiteSpace().to8Bit(true);
    return utf8.empty() ? std::nullopt : std::optional<std::string>(std::move(utf8));
}

std::optional<int> positive(long long value) {
    return value > 0 && value <= INT32_MAX ? std::optional<int>(static_cast<int>(value)) : std::nullopt;
}

// The first text of `key` in the file's properties, "" when there is none.
TagLib::String propertyText(const TagLib::PropertyMap& properties, const char* key) {
    const auto found = properties.find(key);
    return found == properties.end() || found->second.isEmpty() ? TagLib::String() : found->second.front();
}

// "2" or "2/3" as the number 2.
std::optional<int> leadingNumberOf(const TagLib::String& number) {
    const std::string text = number.to8Bit(true);
    long long value = 0;
    size_t digits = 0;
    while (digits < text.size() && digits < 9 && text[digits] >= '0' && text[digits] <= '9') {
        value = value * 10 + (text[digits++] - '0');
    }
    return positive(value);
}

// "2" or "2/3" as the disc number 2.
std::optional<int> discOf(const TagLib::PropertyMap& properties) {
    return leadingNumberOf(propertyText(properties, "DISCNUMBER"));
}

// A field the file's main tag left empty, from all its tags together: a WAV file's main tag is
// its ID3v2 chunk, and its RIFF INFO chunk is read only into its properties.
void fillFromProperties(const TagLib::PropertyMap& properties, TrackTags& tags) {
    const auto text = [&properties](const char* key) { return textOf(propertyText(properties, key)); };
    tags.artist = tags.artist ? tags.artist : text("ARTIST");
    tags.title = tags.title ? tags.title : text("TITLE");
    tags.album = tags.album ? tags.album : text("ALBUM");
    tags.track = tags.track ? tags.track : leadingNumberOf(propertyText(properties, "TRACKNUMBER"));
    tags.year = tags.year ? tags.year : leadingNumberOf(propertyText(properties, "DATE"));
}

TrackTags tagsOf(const TagLib::FileRef& ref) {
    TrackTags tags;
    if (const TagLib::Tag* tag = ref.tag()) {
        tags.artist = textOf(tag->artist());
        tags.title = textOf(tag->title());
        tags.album = textOf(tag->album());
        tags.track = positive(tag->track());
        tags.year = positive(tag->year());
        const TagLib::PropertyMap properties = ref.file()->properties();
        tags.disc = discOf(properties);
        fillFromProperties(properties, tags);
    }
    if (const TagLib::AudioProperties* audio = ref.audioProperties()) {
        if (audio->lengthInMilliseconds() > 0) {
            tags.lengthMs = audio->lengthInMilliseconds();
        }
        tags.bitrate = positive(audio->bitrate());
        tags.sampleRate = positive(audio->sampleRate());
        tags.channels = positive(audio->channels());
    }
    // TagLib times an MP3 without a VBR header as if its bitrate were constant.
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(ref.file())) {
        if (const std::optional<StreamTiming> timing = timeByFrames(*mpeg)) {
            tags.lengthMs = timing->lengthMs > 0 ? std::optional<int64_t>(timing->lengthMs) : std::nullopt;
            tags.bitrate = positive(timing->bitrate);
        }
    }
    return tags;
}

class TagLibReader : public TagReader {
public:
    TagLibReader() { useWindows1251ForOldTags(); }

    TrackTags read(platform::FileHandle file, const std::string& path) override {
        try {
            HandleStream stream(file, path);
            if (stream.length() == 0) {
                return noTags(noTagsBecauseEmpty());
            }
            if (!stream.isOpen()) {
                return noTags(noTagsBecauseUnopened());
            }
            TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Fast);
            // TagLib takes any file with a known extension for that format; one that gives
            // neither a tag nor a sound property is no such file.
            TrackTags tags = ref.isNull() ? TrackTags() : tagsOf(ref);
            if (tags == TrackTags()) {
                return noTags(noTagsBecauseUnknownFormat());
            }
            return tags;
        } catch (const std::exception& error) {
            return noTags(noTagsBecauseFailed(error.what()));
        } catch (...) {
            return noTags(noTagsBecauseFailed({}));
        }
    }

private:
    static TrackTags noTags(std::string reason) {
        TrackTags tags;
        tags.noTagsReason = std::move(reason);
        return tags;
    }
};

} // namespace

std::unique_ptr<TagReader> makeTagLibReader() {
    return std::make_unique<TagLibReader>();
}

} // namespace sources
