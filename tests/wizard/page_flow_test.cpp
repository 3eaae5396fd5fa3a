// The page flow over a recording host: what Next and Back do on every page, the checks of the
// source and destination pages, the histories, the build and the run, and the footer.
#include "recording_host.h"

#include "sources/source_choice.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace wizardtest {
namespace {

using wizard::History;
using wizard::Page;
using Calls = std::vector<std::string>;

class PageFlowTest : public ::testing::Test {
protected:
    // The drive D: that the fields name: two playlists, a song, a folder of music.
    PageFlowTest() {
        drive.writeFile("a.m3u", "#EXTM3U\r\nMusic\\song.mp3\r\n");
        drive.writeFile("Лето.m3u", "Music\\song.mp3\r\n");
        drive.writeFile("Music/song.mp3", std::string("ID3\0\0", 5));
    }
    // `line` with "$D" standing for the drive's host folder.
    std::string onHost(std::string line) const {
        for (size_t at = line.find("$D"); at != std::string::npos; at = line.find("$D")) {
            line.replace(at, 2, drive.hostRoot());
        }
        return line;
    }

    // The flow on `page`, reached by the clicks a person makes (picked files, destination
    // "D:\out"), with the calls of the way there forgotten.
    void reach(Page page) {
        flow.start();
        if (page == Page::TSA) {
            flow.showAboutPage();
        }
        const Page way[] = {Page::TS2, Page::TS3, Page::TS4, Page::TSP};
        for (Page step : way) {
            if (flow.page() == page || page == Page::TSA) {
                break;
            }
            if (step == Page::TS3) {
                flow.setSourceKind(sources::PickedFilesSource);
            }
            if (step == Page::TS4) {
                host.given.dest = "D:\\out";
            }
            flow.next();
        }
        ASSERT_EQ(flow.page(), page);
        host = RecordingHost();
        host.page = page;
    }

    testsupport::TempDrive drive{'D'};
    wizard::ShellState shell;
    RecordingHost host;
    wizard::PageFlow flow{shell, host};
};

struct NextCase {
    const char* name;
    Page page = Page::TS0;
    int32_t kind = 0;
    wizard::WizardFields fields{};
    std::map<History, std::vector<std::string>> histories{};
    Calls calls{};
    Page after = Page::TS0;
};

void PrintTo(const NextCase& c, std::ostream* os) {
    *os << c.name;
}

class NextTest : public PageFlowTest, public ::testing::WithParamInterface<NextCase> {};

const char* const Build[] = {"show TS4P", "build", "bar", "show TS4"};

Calls withBuild(Calls calls) {
    calls.insert(calls.end(), std::begin(Build), std::end(Build));
    return calls;
}

// Next on each page, with the inputs that decide it.
TEST_P(NextTest, CallsAndPage) {
    const NextCase& c = GetParam();
    reach(c.page);
    shell.SourceKind = c.kind;
    host.given = c.fields;
    host.histories = c.histories;
    flow.next();
    EXPECT_EQ(host.calls, c.calls);
    EXPECT_EQ(pageName(flow.page()), pageName(c.after));
}

INSTANTIATE_TEST_SUITE_P(
    PageFlow, NextTest,
    ::testing::Values(
        NextCase{.name = "start page", .page = Page::TS0, .calls = {"show TS2"}, .after = Page::TS2},
        NextCase{.name = "playlist field of blanks only",
                 .page = Page::TS2,
                 .kind = 1,
                 .fields = {.source1 = " \t\r\n "},
                 .calls = {"message Выберите источник!", "focus Source1"},
                 .after = Page::TS2},
        NextCase{.name = "playlist kept as typed",
                 .page = Page::TS2,
                 .kind = 1,
                 .fields = {.source1 = " D:\\a.m3u "},
                 .calls = {"history Source1  D:\\a.m3u ", "show TS3"},
                 .after = Page::TS3},
        NextCase{.name = "playlist in the history in other letters",
                 .page = Page::TS2,
                 .kind = 1,
                 .fields = {.source1 = "D:\\Лето.m3u"},
                 .histories = {{History::Source1, {"x.m3u", "d:\\ЛЕТО.M3U"}}},
                 .calls = {"show TS3"},
                 .after = Page::TS3},
        NextCase{.name = "folder",
                 .page = Page::TS2,
                 .kind = 2,
                 .fields = {.source1 = "D:\\a.m3u", .source2 = "D:\\Music"},
                 .calls = {"history Source2 D:\\Music", "show TS3"},
                 .after = Page::TS3},
        NextCase{.name = "folder kind with only a playlist given",
                 .page = Page::TS2,
                 .kind = 2,
                 .fields = {.source1 = "D:\\a.m3u"},
                 .calls = {"message Выберите источник!", "focus Source2"},
                 .after = Page::TS2},
        NextCase{.name = "picked files, none picked",
                 .page = Page::TS2,
                 .kind = 3,
                 .calls = {"show TS3"},
                 .after = Page::TS3},
        NextCase{.name = "stored kind outside 1..3",
                 .page = Page::TS2,
                 .kind = 7,
                 .fields = {.source1 = "D:\\a.m3u", .source2 = "D:\\Music"},
                 .calls = {"message Выберите источник!", "focus Source1"},
                 .after = Page::TS2},
        NextCase{.name = "destination of blanks only",
                 .page = Page::TS3,
                 .fields = {.dest = "  ", .sizeLimitText = "700"},
                 .calls = {"message Выберите папку приемника!", "focus Dest"},
                 .after = Page::TS3},
        NextCase{.name = "typed limit",
                 .page = Page::TS3,
                 .fields = {.dest = "D:\\out", .sizeLimitText = "700"},
                 .calls = withBuild({"limit 700000000", "history SizeLimit 700", "history Dest D:\\out"}),
                 .after = Page::TS4},
        NextCase{.name = "unreadable limit",
                 .page = Page::TS3,
                 .fields = {.dest = "D:\\out", .sizeLimitText = "abc"},
                 .calls = withBuild({"limit 0", "history Dest D:\\out"}),
                 .after = Page::TS4},
        NextCase{.name = "automatic limit",
                 .page = Page::TS3,
                 .fields = {.dest = "D:\\out", .sizeLimitText = "4700", .autoSizeLimit = true},
                 .calls = withBuild({"limit 4700000000", "history Dest D:\\out"}),
                 .after = Page::TS4},
        NextCase{.name = "limit and destination in the history",
                 .page = Page::TS3,
                 .fields = {.dest = "D:\\Out", .sizeLimitText = "700"},
                 .histories = {{History::SizeLimit, {"700"}}, {History::Dest, {"d:\\out"}}},
                 .calls = withBuild({"limit 700000000"}),
                 .after = Page::TS4},
        NextCase{.name = "preview page",
                 .page = Page::TS4,
                 .calls = {"stop player", "show TSP", "copy"},
                 .after = Page::TSP},
        NextCase{.name = "progress page", .page = Page::TSP, .calls = {}, .after = Page::TSP},
        NextCase{.name = "About page", .page = Page::TSA, .calls = {}, .after = Page::TSA}));

// A source or destination that cannot work is refused on its own page: the message says why,
// the focus goes to the field, and the text does not enter the field's history.
TEST_F(PageFlowTest, FieldsThatCannotWorkStayOnTheirPage) {
    drive.writeFile("song.mp3", std::string("ID3\0\0\0", 6));
    const struct {
        const char* name;
        Page page;
        int32_t kind;
        wizard::WizardFields fields;
        const char* message;
        const char* focus;
    } cases[] = {
        {"missing playlist",
         Page::TS2,
         1,
         {.source1 = "D:\\gone.m3u"},
         "Плейлист \"$D/gone.m3u\" не найден. Выберите существующий файл плейлиста.",
         "Source1"},
        {"folder as a playlist",
         Page::TS2,
         1,
         {.source1 = "$D/Music"},
         "\"$D/Music\" - папка, а не файл плейлиста. Выберите файл плейлиста или источник \"Папка\".",
         "Source1"},
        {"song as a playlist",
         Page::TS2,
         1,
         {.source1 = "D:\\song.mp3"},
         "Файл \"$D/song.mp3\" не похож на плейлист: это не текстовый файл.",
         "Source1"},
        {"missing folder",
         Page::TS2,
         2,
         {.source2 = "D:\\Nothing"},
         "Папка \"$D/Nothing\" не найдена. Выберите существующую папку.",
         "Source2"},
        {"relative destination",
         Page::TS3,
         3,
         {.dest = "out"},
         "Укажите полный путь к папке приемника (например, /media/stick/music), а не \"out\".",
         "Dest"},
        {"unmapped drive",
         Page::TS3,
         3,
         {.dest = "C:\\Музыка"},
         "Диск C: не подключён. Выберите папку на подключённом диске.",
         "Dest"},
        {"destination is a file",
         Page::TS3,
         3,
         {.dest = "$D/a.m3u"},
         "\"$D/a.m3u\" - файл, а не папка. Выберите папку приемника.",
         "Dest"},
        {"destination under a file",
         Page::TS3,
         3,
         {.dest = "D:\\a.m3u\\x\\y"},
         "Папку \"$D/a.m3u/x/y\" нельзя создать: \"$D/a.m3u\" - файл, а не папка.",
         "Dest"},
        {"move into the source folder",
         Page::TS3,
         2,
         {.source2 = "D:\\Music", .dest = "d:\\music\\Copies", .moves = true},
         "При перемещении приемник не может быть папкой источника \"$D/Music\" или папкой внутри неё.",
         "Dest"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reach(c.page);
        shell.SourceKind = c.kind;
        host.given = c.fields;
        host.given.source1 = onHost(host.given.source1);
        host.given.dest = onHost(host.given.dest);
        flow.next();
        EXPECT_EQ(host.calls,
                  (Calls{onHost(std::string("message ") + c.message), std::string("focus ") + c.focus}));
        EXPECT_EQ(flow.page(), c.page);
        EXPECT_TRUE(host.histories.empty());
    }
    // A copy into the source folder is fine: only a move would walk into its own copies.
    reach(Page::TS3);
    shell.SourceKind = 2;
    host.given = {.source2 = "D:\\Music", .dest = "D:\\Music\\Copies"};
    flow.next();
    EXPECT_EQ(flow.page(), Page::TS4);
}

// Back on each page; it keeps the list, so nothing is built.
TEST_F(PageFlowTest, BackByPage) {
    const struct {
        Page page;
        Calls calls;
        Page after;
    } cases[] = {
        {Page::TS0, {}, Page::TS0},           {Page::TS2, {"show TS0"}, Page::TS0},
        {Page::TS3, {"show TS2"}, Page::TS2}, {Page::TS4, {"stop player", "show TS3"}, Page::TS3},
        {Page::TSP, {"show TS4"}, Page::TS4}, {Page::TSA, {"show TS0"}, Page::TS0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(pageName(c.page));
        reach(c.page);
        flow.back();
        EXPECT_EQ(host.calls, c.calls);
        EXPECT_EQ(pageName(flow.page()), pageName(c.after));
    }
}

// The footer of each page, by the run state.
TEST(FooterFor, PagesAndRunState) {
    const struct {
        Page page;
        bool workActive;
        bool prevShown, prevEnabled, nextShown;
        const char* exitCaption;
    } cases[] = {
        {Page::TS0, false, false, true, true, "Выход"},    {Page::TS2, false, true, true, true, "Выход"},
        {Page::TS3, false, true, true, true, "Выход"},     {Page::TS4, false, true, true, true, "Выход"},
        {Page::TSP, true, true, false, false, "Прервать"}, {Page::TSP, false, true, true, false, "Выход"},
        {Page::TSA, false, true, true, false, "Выход"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(pageName(c.page) + (c.workActive ? " running" : ""));
        const wizard::FooterState footer = wizard::footerFor(c.page, c.workActive);
        EXPECT_EQ(footer.prevVisible, c.prevShown);
        EXPECT_EQ(footer.prevEnabled, c.prevEnabled);
        EXPECT_EQ(footer.nextVisible, c.nextShown);
        EXPECT_TRUE(footer.nextEnabled);
        EXPECT_EQ(footer.exitCaption, c.exitCaption);
    }
}

// Every click ends with the footer of the page it leaves shown.
TEST_F(PageFlowTest, EveryClickSetsTheFooter) {
    reach(Page::TS0);
    flow.next();
    ASSERT_FALSE(host.footers.empty());
    EXPECT_TRUE(host.footers.back().prevVisible);
    flow.back();
    EXPECT_FALSE(host.footers.back().prevVisible);
    flow.showAboutPage();
    EXPECT_FALSE(host.footers.back().nextVisible);
    host.given.source1 = "";
    shell.SourceKind = 1;
    flow.showSourcePage();
    const size_t before = host.footers.size();
    flow.next(); // refused: the page stays, the footer is still set
    EXPECT_EQ(host.footers.size(), before + 1);
}

// While the list is built the build page is shown with both footer buttons disabled.
TEST_F(PageFlowTest, BuildPageDisablesTheFooter) {
    reach(Page::TS3);
    host.given.dest = "D:\\out";
    wizard::FooterState during;
    host.duringBuild = [&] { during = host.footers.back(); };
    flow.next();
    EXPECT_FALSE(during.prevEnabled);
    EXPECT_FALSE(during.nextEnabled);
    EXPECT_TRUE(host.footers.back().prevEnabled && host.footers.back().nextEnabled);
}

// A source that cannot be read: the half-built list is emptied and the destination page comes
// back usable, then the error rises to the window, which shows it.
TEST_F(PageFlowTest, BuildErrorReturnsToTheDestinationPage) {
    reach(Page::TS3);
    host.given.dest = "D:\\out";
    host.duringBuild = [] { throw std::runtime_error("Cannot open file \"D:\\a.m3u\"."); };
    EXPECT_THROW(flow.next(), std::runtime_error);
    EXPECT_EQ(host.calls,
              (Calls{"limit 0", "history Dest D:\\out", "show TS4P", "build", "clear", "show TS3"}));
    EXPECT_EQ(flow.page(), Page::TS3);
    EXPECT_TRUE(host.footers.back().prevEnabled && host.footers.back().nextEnabled);
    EXPECT_TRUE(host.footers.back().prevVisible && host.footers.back().nextVisible);
}

// During the run no click changes the page, and the footer shows the abort button; after it
// Back is enabled again, and Back then Next runs the same list again without rebuilding it.
TEST_F(PageFlowTest, RunRefusesPageChangesThenRunsAgain) {
    reach(Page::TS4);
    wizard::FooterState during;
    host.duringCopy = [&] {
        shell.RunIdle = false; // what the copy run does while it works
        during = host.footers.back();
        flow.back();
        flow.next();
        flow.showAboutPage();
        flow.showSourcePage();
        shell.RunIdle = true;
    };
    flow.next();
    EXPECT_EQ(host.calls, (Calls{"stop player", "show TSP", "copy"}));
    EXPECT_FALSE(during.prevEnabled);
    EXPECT_FALSE(during.nextVisible);
    EXPECT_EQ(during.exitCaption, "Прервать");
    EXPECT_FALSE(shell.WorkActive);
    EXPECT_TRUE(host.footers.back().prevEnabled);
    EXPECT_EQ(host.footers.back().exitCaption, "Выход");

    host.calls.clear();
    host.duringCopy = nullptr;
    flow.back();
    flow.next();
    EXPECT_EQ(host.calls, (Calls{"show TS4", "stop player", "show TSP", "copy"}));
}

// A run that fails half-way still leaves the flags idle and the footer usable.
TEST_F(PageFlowTest, FailedRunLeavesTheWizardUsable) {
    reach(Page::TS4);
    host.duringCopy = [] { throw std::runtime_error("disk gone"); };
    EXPECT_THROW(flow.next(), std::runtime_error);
    EXPECT_FALSE(shell.WorkActive);
    EXPECT_TRUE(shell.mayClose());
    EXPECT_TRUE(host.footers.back().prevEnabled);
    EXPECT_EQ(host.footers.back().exitCaption, "Выход");
    flow.back();
    EXPECT_EQ(flow.page(), Page::TS4);
}

// A stored kind outside 1..3 refuses Next until a source control sets the kind.
TEST_F(PageFlowTest, KindOutsideTheRangeWaitsForASourceControl) {
    reach(Page::TS2);
    shell.SourceKind = 0;
    host.given.source2 = "D:\\Music";
    flow.next();
    EXPECT_EQ(flow.page(), Page::TS2);
    flow.setSourceKind(sources::FolderSource);
    EXPECT_EQ(host.calls, (Calls{"message Выберите источник!", "focus Source1", "tick 2"}));
    flow.next();
    EXPECT_EQ(flow.page(), Page::TS3);
    flow.back();
    shell.SourceKind = 9;
    flow.chooseSourceKind(sources::PickedFilesSource); // a radio button clicked
    flow.next();
    EXPECT_EQ(flow.page(), Page::TS3);
}

// The start page's links lead where Next and the About link do; Back returns to the start.
TEST_F(PageFlowTest, StartPageLinks) {
    reach(Page::TS0);
    flow.showSourcePage();
    EXPECT_EQ(flow.page(), Page::TS2);
    flow.back();
    flow.showAboutPage();
    EXPECT_EQ(flow.page(), Page::TSA);
    flow.back();
    EXPECT_EQ(host.calls, (Calls{"show TS2", "show TS0", "show TSA", "show TS0"}));
}

// Blanks and control characters are cut at both ends only.
TEST(TrimmedText, CutsBlanksAndControlsAtTheEnds) {
    EXPECT_EQ(wizard::trimmedText(" \t D:\\a b.m3u \r\n\x01"), "D:\\a b.m3u");
    EXPECT_EQ(wizard::trimmedText(" \t\x7f "), "");
    EXPECT_EQ(wizard::trimmedText("Лето"), "Лето");
}

} // namespace
} // namespace wizardtest
