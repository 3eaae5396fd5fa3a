// The preview player's device on Qt Multimedia, for real: a WAV file that the test writes,
// played through a sound server with a null sink that the test starts. Every wait is bounded.
#include "window_fixture.h"

#include "app/qt_media_device.h"
#include "support/null_audio_server.h"
#include "support/wav_file.h"

#include <QTest>

#include <cstdlib>

namespace apptest {
namespace {

using Mode = wizard::MediaDevice::Mode;

class QtMediaDeviceTest : public WindowTest {
protected:
    static void SetUpTestSuite() { audio = std::make_unique<testsupport::NullAudioServer>(); }
    static void TearDownTestSuite() { audio.reset(); }

    static std::unique_ptr<testsupport::NullAudioServer> audio;
    testsupport::TempDrive music{'D'};
    app::QtMediaDevice device{5000};
};

std::unique_ptr<testsupport::NullAudioServer> QtMediaDeviceTest::audio;

// Open knows the length; play moves the position on; a seek moves it; close ends it all.
TEST_F(QtMediaDeviceTest, PlaysSeeksAndClosesAWavFile) {
    music.writeFile("tone.wav", testsupport::toneWav(3 * 8000));
    std::string error;
    ASSERT_TRUE(device.open("D:\\tone.wav", error)) << error;
    EXPECT_NEAR(device.length(), 3000, 50);
    EXPECT_NE(device.mode(), Mode::Playing);

    device.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return device.position() > 200; }, 15000)) << device.position();
    EXPECT_EQ(device.mode(), Mode::Playing);

    device.seek(2000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return device.position() >= 1900; }, 15000)) << device.position();
    device.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return device.mode() == Mode::Playing; }, 15000));

    device.close();
    EXPECT_EQ(device.mode(), Mode::NotReady);
    EXPECT_EQ(device.position(), 0);
    EXPECT_EQ(device.length(), 0);
}

// A compressed format that the installed back end decodes: the WAV encoded to Ogg Vorbis by
// the back end's own tools, then opened and played like any file. (An MP3 plays too, but one
// without a length header tells its length only while it plays.)
TEST_F(QtMediaDeviceTest, PlaysOggVorbis) {
    music.writeFile("tone.wav", testsupport::toneWav(3 * 8000));
    const struct {
        const char* name;
        const char* encoder;
    } formats[] = {{"tone.ogg", "vorbisenc ! oggmux"}};
    for (const auto& format : formats) {
        SCOPED_TRACE(format.name);
        const std::string command = std::string("gst-launch-1.0 -q filesrc location='") +
                                    music.hostPath("tone.wav") + "' ! wavparse ! audioconvert ! " +
                                    format.encoder + " ! filesink location='" + music.hostPath(format.name) +
                                    "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::string error;
        ASSERT_TRUE(device.open(std::string("D:\\") + format.name, error)) << error;
        EXPECT_NEAR(device.length(), 3000, 100);
        device.play();
        EXPECT_TRUE(QTest::qWaitFor([&] { return device.position() > 200; }, 15000)) << device.position();
        device.close();
    }
}

// What the device cannot play fails the open with a text to show, and leaves it not ready.
TEST_F(QtMediaDeviceTest, UnplayableFilesFailTheOpenWithAText) {
    music.writeFile("notes.mp3", std::string(20000, 'x'));
    for (const char* path : {"D:\\notes.mp3", "D:\\missing.mp3", ""}) {
        SCOPED_TRACE(path);
        std::string error;
        EXPECT_FALSE(device.open(path, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(device.mode(), Mode::NotReady);
    }
}

} // namespace
} // namespace apptest
