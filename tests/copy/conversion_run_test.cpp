// The copy run with conversion, on real audio the tests encode: the converted files decode to the
// length of their sources, the rest go as they are, the log stays in list order with two
// workers, a source that does not decode fails alone, and a skipped, aborted or failed
// conversion leaves no file; a move removes its source only behind a checked new file.
#include "copy/copy_run.h"

#include "copy_fixture.h"

#include "convert/converter.h"
#include "convert/device_formats.h"
#include "platform/files.h"
#include "support/audio_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using copytest::CopyFixture;
using testsupport::ToneFile;

const ToneFile Flac{.encoder = "flacenc", .tags = R"(artist="Кино",title=Звезда)"};
const ToneFile Wav{.encoder = "wavenc"};
const ToneFile Mp3{.encoder = "lamemp3enc ! id3v2mux"};
// Long enough that a skip or an abort lands while it is encoded.
const ToneFile LongWav{.encoder = "wavenc", .buffers = 600};
const ToneFile TenSecondFlac{.encoder = "flacenc", .buffers = 100};

const char* const Converting = "  Преобразование -> $D/out/";

struct ConversionRunTest : CopyFixture {
    copy::CopyOptions options(convert::ConvertWhich which = convert::ConvertWhich::All, int mode = 1) {
        copy::CopyOptions given{copy::transferModeFromIndex(mode), copy::ExistRename, true, "D:\\out"};
        given.Conversion = {.format = convert::defaultFormat(convert::ConvertTarget::Mp3),
                            .which = which,
                            .played = convert::playedExtensions(convert::DeviceProfile::CarStereo),
                            .jobs = 2};
        return given;
    }
    std::string host(const std::string& relative) const { return drive.hostRoot() + "/" + relative; }
    void tone(const std::string& relative, const ToneFile& file) {
        testsupport::encodeTone(host(relative), file);
    }
    void text(const std::string& relative, const std::string& content) {
        std::ofstream(host(relative), std::ios::binary) << content;
    }
    // An entry as the naming rules leave it: the destination carries the extension it is
    // written with.
    void entry(const std::string& source, const std::string& dest) {
        addEntry("D:\\in\\" + source, "D:\\out\\" + dest);
    }
    long long lengthOf(const std::string& relative) const {
        return convert::mediaLengthMs(host(relative)).value_or(-1);
    }
    std::vector<std::string> logLinesStartingWith(const std::string& start) const {
        std::vector<std::string> found;
        std::copy_if(view.log.begin(), view.log.end(), std::back_inserter(found),
                     [&](const std::string& line) { return line.starts_with(onHost(start)); });
        return found;
    }
    void run(const copy::CopyOptions& given) { copy::CopyRun(given, listDb, CopyFixture::run, display); }
    ConversionRunTest() {
        platform::forceFolders("D:\\in");
        platform::forceFolders("D:\\out");
    }
};

// The device plays MP3: FLAC and WAV are converted on two workers, the MP3 and the picture are
// copied, the log keeps list order, the playlist names what was written.
TEST_F(ConversionRunTest, ConvertsWhatTheDeviceDoesNotPlayAndCopiesTheRest) {
    tone("in/a.flac", Flac);
    tone("in/b.mp3", Mp3);
    tone("in/c.wav", Wav);
    text("in/cover.jpg", "not really a picture");
    entry("a.flac", "a.mp3");
    entry("b.mp3", "b.mp3");
    entry("c.wav", "c.mp3");
    entry("cover.jpg", "cover.jpg");

    run(options(convert::ConvertWhich::Unplayable));

    EXPECT_EQ(testsupport::filesUnder(drive, "out"),
              (std::vector<std::string>{"_playlist_.m3u", "a.mp3", "b.mp3", "c.mp3", "cover.jpg"}));
    EXPECT_EQ(logLinesStartingWith("  "),
              onHost(std::vector<std::string>{
                  "  Преобразование -> $D/out/a.mp3 ...", "  Копирование -> $D/out/b.mp3 ...",
                  "  Преобразование -> $D/out/c.mp3 ...", "  Копирование -> $D/out/cover.jpg ..."}));
    for (const char* name : {"a", "c"}) {
        const long long source = lengthOf(std::string("in/") + name + (name[0] == 'a' ? ".flac" : ".wav"));
        EXPECT_NEAR(lengthOf(std::string("out/") + name + ".mp3"), source, 100) << name;
    }
    EXPECT_EQ(CopyFixture::run.CopiedCount, 4);
    EXPECT_EQ(CopyFixture::run.ConvertedCount, 2);
    EXPECT_EQ(view.log.back(),
              "Скопировано: 4, пропущено: 0, с ошибками: 0, не найдено: 0; из них преобразовано: 2");
    std::ifstream playlist(host("out/_playlist_.m3u"));
    const std::string listed((std::istreambuf_iterator<char>(playlist)), std::istreambuf_iterator<char>());
    EXPECT_NE(listed.find("a.mp3"), std::string::npos) << listed;
    EXPECT_EQ(listed.find(".flac"), std::string::npos) << listed;
}

// A source that does not decode fails its own entry with GStreamer's reason and leaves no file;
// the next is converted.
TEST_F(ConversionRunTest, SourceThatDoesNotDecodeFailsAlone) {
    text("in/bad.flac", "this is text, not FLAC");
    tone("in/good.wav", Wav);
    entry("bad.flac", "bad.mp3");
    entry("good.wav", "good.mp3");

    run(options());

    EXPECT_EQ(testsupport::filesUnder(drive, "out"),
              (std::vector<std::string>{"_playlist_.m3u", "good.mp3"}));
    const auto failed = std::find(view.log.begin(), view.log.end(), onHost(Converting) + "bad.mp3 ...");
    ASSERT_NE(failed, view.log.end());
    ASSERT_NE(std::next(failed), view.log.end());
    EXPECT_TRUE(std::next(failed)->starts_with("  Ошибка преобразования: ")) << *std::next(failed);
    EXPECT_GT(std::next(failed)->size(), std::string("  Ошибка преобразования: ").size());
    EXPECT_EQ(CopyFixture::run.FailedCount, 1);
    EXPECT_EQ(CopyFixture::run.ConvertedCount, 1);
}

// The skip button stops the conversion in hand and the run goes on; the abort stops every
// conversion, the ones started ahead included. Neither leaves a file or a temporary behind.
TEST_F(ConversionRunTest, SkipAndAbortLeaveNoFile) {
    tone("in/long1.wav", LongWav);
    tone("in/long2.wav", LongWav);
    tone("in/long3.wav", LongWav);
    entry("long1.wav", "long1.mp3");
    entry("long2.wav", "long2.mp3");
    entry("long3.wav", "long3.mp3");

    whenLogEndsWith(std::string(Converting) + "long1.mp3 ...",
                    [this] { copy::Button5Click(CopyFixture::run); });
    run(options());
    EXPECT_EQ(testsupport::filesUnder(drive, "out"),
              (std::vector<std::string>{"_playlist_.m3u", "long2.mp3", "long3.mp3"}));
    EXPECT_EQ(CopyFixture::run.SkippedCount, 1);
    EXPECT_EQ(CopyFixture::run.ConvertedCount, 2);

    for (const char* name : {"_playlist_.m3u", "long2.mp3", "long3.mp3"}) {
        platform::deleteFile(std::string("D:\\out\\") + name);
    }
    whenLogEndsWith(std::string(Converting) + "long2.mp3 ...", [this] { copy::requestCancel(shell); });
    run(options());
    EXPECT_EQ(testsupport::filesUnder(drive, "out"), std::vector<std::string>{"long1.mp3"});
    EXPECT_EQ(CopyFixture::run.NotStartedCount, 1);
}

// A move deletes its source once the converted file stands and plays as long. A FLAC file cut
// short still promises its whole length: the shorter new file keeps that source.
TEST_F(ConversionRunTest, MoveRemovesTheSourceOnlyBehindACheckedFile) {
    tone("in/whole.wav", Wav);
    tone("in/short.flac", TenSecondFlac);
    std::filesystem::resize_file(host("in/short.flac"),
                                 std::filesystem::file_size(host("in/short.flac")) / 2);
    entry("whole.wav", "whole.mp3");
    entry("short.flac", "short.mp3");

    run(options(convert::ConvertWhich::All, copy::TransferSystemMove));

    EXPECT_FALSE(platform::fileExists("D:\\in\\whole.wav"));
    EXPECT_TRUE(platform::fileExists("D:\\out\\whole.mp3"));
    EXPECT_TRUE(platform::fileExists("D:\\in\\short.flac"));
    const auto kept = std::find_if(view.log.begin(), view.log.end(), [](const std::string& line) {
        return line.starts_with("  Файл преобразован, но источник оставлен на месте: длина нового файла");
    });
    EXPECT_NE(kept, view.log.end());
    EXPECT_EQ(CopyFixture::run.FailedCount, 1);
}

} // namespace
