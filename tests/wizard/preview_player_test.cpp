// The preview player over a scripted device, a recording view and timers that a test steps:
// the status line, the track bar, the seek delay, Play, Stop and open failures.
#include "wizard/preview_player.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using wizard::MediaDevice;

// A device whose files, length, position and mode a test sets; it records what it is asked.
class ScriptedDevice : public MediaDevice {
public:
    bool open(const std::string& path, std::string& errorText) override {
        calls.push_back("open " + path);
        if (path.empty() || path == unplayable) {
            errorText = "The specified file cannot be played.";
            return false;
        }
        opened = true;
        return true;
    }
    int length() override { return lengthMs; }
    int position() override { return positionMs; }
    Mode mode() override { return opened ? deviceMode : Mode::NotReady; }
    void play() override {
        calls.push_back("play");
        deviceMode = playable ? Mode::Playing : Mode::Stopped;
    }
    void seek(int position) override {
        calls.push_back("seek " + std::to_string(position));
        positionMs = position;
    }
    void close() override {
        calls.push_back("close");
        opened = false;
    }

    std::vector<std::string> calls;
    std::string unplayable = "D:\\broken.mp3";
    bool playable = true; // opens, but plays or not
    bool opened = false;
    int lengthMs = 65000;
    int positionMs = 0;
    Mode deviceMode = Mode::Stopped;
};

// Timers on a clock that the test moves on.
struct SteppedTime {
    struct Timer : wizard::PlayerTimer {
        Timer(SteppedTime& time, int interval) : time(time), interval(interval) {}
        void start() override { due = time.now + interval; }
        void stop() override { due = -1; }
        bool active() const { return due >= 0; }
        SteppedTime& time;
        int interval;
        long due = -1;
        std::function<void()> onTimeout;
    };

    // Moves on `ms`, firing each timer whenever it falls due; a repeating timer re-arms.
    void advance(int ms) {
        const long end = now + ms;
        for (;;) {
            Timer* next = nullptr;
            for (Timer* timer : {&refresh, &seekDelay}) {
                if (timer->active() && timer->due <= end && (next == nullptr || timer->due < next->due)) {
                    next = timer;
                }
            }
            if (next == nullptr) {
                break;
            }
            now = next->due;
            next->due = now + next->interval;
            next->onTimeout();
        }
        now = end;
    }

    long now = 0;
    Timer refresh{*this, 1000};
    Timer seekDelay{*this, 500};
};

class RecordingView : public wizard::PlayerView {
public:
    void setStatus(const std::string& text) override { status = text; }
    void setTrackMaximum(int maximum) override { trackMaximum = maximum; }
    void setTrackPosition(int position) override {
        thumb = position;
        if (onThumbMoved) {
            onThumbMoved();
        }
    }
    int trackPosition() const override { return thumb; }
    void setTrackEnabled(bool enabled) override { trackEnabled = enabled; }
    void showError(const std::string& text) override { errors.push_back(text); }
    std::string firstSelectedSource() const override { return selected; }

    std::string status;
    int trackMaximum = 0;
    int thumb = 0;
    bool trackEnabled = true;
    std::vector<std::string> errors;
    std::string selected;
    std::function<void()> onThumbMoved;
};

class PreviewPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        time.refresh.onTimeout = [this] { player.Timer1Timer(); };
        time.seekDelay.onTimeout = [this] { player.TSmPTimer(); };
        // The bar's change handler runs for every move, the program's own included.
        view.onThumbMoved = [this] { player.TBChange(); };
        time.refresh.start();
    }

    // A person drags the thumb to `position`.
    void drag(int position) { view.setTrackPosition(position); }

    ScriptedDevice device;
    RecordingView view;
    SteppedTime time;
    wizard::PreviewPlayer player{device, view, time.refresh, time.seekDelay};
};

// Milliseconds as the status line writes them.
TEST(FormatPlayTime, MinutesUnpaddedSecondsPadded) {
    const struct {
        int ms;
        const char* text;
    } cases[] = {{0, "0:00"},        {999, "0:00"},       {65000, "1:05"},     {600000, "10:00"},
                 {3599999, "59:59"}, {3600000, "1:0:00"}, {3725000, "1:2:05"}, {36061000, "10:1:01"}};
    for (const auto& c : cases) {
        EXPECT_EQ(wizard::FormatPlayTime(c.ms), c.text) << c.ms;
    }
}

// Play opens the selected entry, sets the bar to its length and plays; each refresh shows the
// position and moves the thumb without starting a seek.
TEST_F(PreviewPlayerTest, PlayShowsThePositionEverySecond) {
    player.ListView1SelectItem("D:\\music\\a.mp3");
    player.ListView1DblClick();
    EXPECT_EQ(device.calls, (std::vector<std::string>{"open D:\\music\\a.mp3", "play"}));
    EXPECT_EQ(view.trackMaximum, 65000);
    EXPECT_EQ(view.status, "Opening...");
    device.positionMs = 12000;
    time.advance(1000);
    EXPECT_EQ(view.status, "Playing> 0:12 / 1:05");
    EXPECT_EQ(view.thumb, 12000);
    EXPECT_TRUE(view.trackEnabled);
    EXPECT_FALSE(time.seekDelay.active());
}

// Dragging shows the thumb's time; the seek comes once the thumb has rested 500 ms, and
// moving it again re-arms the delay. The refresh is off until the seek is done.
TEST_F(PreviewPlayerTest, SeekWaitsUntilTheThumbRests) {
    player.ListView1SelectItem("D:\\music\\a.mp3");
    player.ListView1DblClick();
    device.calls.clear();
    drag(30000);
    EXPECT_EQ(view.status, "Seeking> 0:30");
    time.advance(400);
    drag(42000);
    EXPECT_EQ(view.status, "Seeking> 0:42");
    time.advance(400);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_FALSE(time.refresh.active());
    time.advance(100);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"seek 42000", "play"}));
    EXPECT_FALSE(time.seekDelay.active());
    EXPECT_TRUE(time.refresh.active());
    time.advance(1000);
    EXPECT_EQ(view.status, "Playing> 0:42 / 1:05");
}

// A seek while the device does not play is tried again every delay until it plays.
TEST_F(PreviewPlayerTest, SeekIsRetriedUntilTheDevicePlays) {
    player.ListView1SelectItem("D:\\music\\a.mp3");
    player.ListView1DblClick();
    device.deviceMode = MediaDevice::Mode::Paused;
    device.calls.clear();
    drag(5000);
    time.advance(1500);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_TRUE(time.seekDelay.active());
    device.deviceMode = MediaDevice::Mode::Playing;
    time.advance(500);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"seek 5000", "play"}));
}

// Play with nothing chosen or selected: the device's open error in the error box, and
// "Opening..." stays, since no refresh runs without a chosen file.
TEST_F(PreviewPlayerTest, PlayWithNothingChosenReportsTheOpenError) {
    player.ListView1DblClick();
    EXPECT_EQ(view.errors, (std::vector<std::string>{"The specified file cannot be played."}));
    time.advance(3000);
    EXPECT_EQ(view.status, "Opening...");
}

// A file the device cannot open or cannot play: "<Not Ready>" at the next refresh, and the
// bar disabled.
TEST_F(PreviewPlayerTest, UnplayableFileShowsNotReady) {
    for (bool opens : {false, true}) {
        SCOPED_TRACE(opens ? "opens, does not play" : "does not open");
        device.playable = !opens;
        player.ListView1SelectItem(opens ? "D:\\silent.avi" : "D:\\broken.mp3");
        player.ListView1DblClick();
        device.playable = false;
        device.deviceMode = MediaDevice::Mode::Stopped;
        EXPECT_EQ(view.status, "Opening...");
        time.advance(1000);
        EXPECT_EQ(view.status, "<Not Ready>");
        EXPECT_FALSE(view.trackEnabled);
        player.Button6Click();
    }
}

// A track that played to its end says "Stopped", and so does Stop: the last "Playing>" line
// never stays behind.
TEST_F(PreviewPlayerTest, EndAndStopSayStopped) {
    player.ListView1SelectItem("D:\\a.mp3");
    player.ListView1DblClick();
    time.advance(1000);
    EXPECT_TRUE(view.status.starts_with("Playing> ")) << view.status;
    device.deviceMode = MediaDevice::Mode::Stopped; // the end of the track
    time.advance(1000);
    EXPECT_EQ(view.status, "Stopped");
    player.ListView1DblClick();
    device.deviceMode = MediaDevice::Mode::Playing;
    time.advance(1000);
    player.Button6Click();
    EXPECT_EQ(view.status, "Stopped");
}

// Stop closes the device, moves the thumb home and forgets the file, so the next Play takes
// the entry selected then; selecting another entry while playing changes only the choice.
TEST_F(PreviewPlayerTest, StopForgetsTheChoice) {
    player.ListView1SelectItem("D:\\a.mp3");
    player.ListView1DblClick();
    device.positionMs = 20000;
    time.advance(1000);
    player.ListView1SelectItem("D:\\b.mp3");
    EXPECT_EQ(device.calls, (std::vector<std::string>{"open D:\\a.mp3", "play"}));
    player.Button6Click();
    EXPECT_EQ(device.calls.back(), "close");
    EXPECT_EQ(view.thumb, 0);
    EXPECT_EQ(player.chosenFile(), "");
    const std::string statusAfterStop = view.status;
    time.advance(2000);
    EXPECT_EQ(view.status, statusAfterStop); // no file chosen: the refresh changes nothing
    view.selected = "D:\\c.mp3";
    player.ListView1DblClick();
    EXPECT_EQ(device.calls.back(), "play");
    EXPECT_EQ(device.calls[device.calls.size() - 2], "open D:\\c.mp3");
}

// Stop on a device that is not ready does nothing, the choice included.
TEST_F(PreviewPlayerTest, StopOnANotReadyDeviceKeepsTheChoice) {
    player.ListView1SelectItem("D:\\a.mp3");
    player.Button6Click();
    EXPECT_EQ(player.chosenFile(), "D:\\a.mp3");
    EXPECT_TRUE(device.calls.empty());
}

} // namespace
