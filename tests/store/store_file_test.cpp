// Store files: the round trip, damaged and hostile files, and the dump tool on both.
#include "store/object_model.h"
#include "store/store_file.h"

#include "platform/drives.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

using namespace store;
using ::testing::HasSubstr;
using StringList = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

// A temporary host folder, named through the default drive Z:.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "tw-store-XXXXXX").string();
        m_host = mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(m_host); }
    std::string host(const std::string& name) const { return m_host + "/" + name; }
    std::string program(const std::string& name) const { return platform::toProgramPath(host(name)); }

private:
    std::string m_host;
};

void writeHostFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const StoreValue everyKind[] = {
    StoreValue(),
    StoreValue::fromBool(true),
    StoreValue::fromInt8(-1),
    StoreValue::fromUInt8(200),
    StoreValue::fromInt16(-30000),
    StoreValue::fromUInt16(60000),
    StoreValue::fromInt32(-2000000000),
    StoreValue::fromUInt32(4000000000u),
    StoreValue::fromInt64(-9000000000000000000),
    StoreValue::fromUInt64(18000000000000000000u),
    StoreValue::fromText("Плейлист \"1\"\\\n" + std::string(1, '\0') + "end"),
};

// A store with values of every kind in nested directories, a long string list, an object
// made from a mask, an emptied link and a deleted item.
void fillSample(TfdbObject& db, int listLength) {
    for (size_t i = 0; i < std::size(everyKind); ++i) {
        db.DSystem.WriteValue("deep/er/est/v" + std::to_string(i), everyKind[i]);
    }
    StringList texts;
    for (int i = 0; i < listLength; ++i) {
        texts.push_back("D:\\Music\\track " + std::to_string(i) + ".mp3");
    }
    db.Utils.SaveListToPath("Source1", texts);
    int mask = db.CreateObjectMask("item", {"Name", "Size", 7, 1, 2, 3}, 1);
    db.NewItemRef(mask)->AddToList(1);
    db.DSystem.CreateDir("", "list");
    int object = 0;
    db.CreateObject(mask, object, 0);
    db.Item(object).AsObject.FieldByName("Size").SetValue(StoreValue::fromInt64(123456789012));
    db.Item(db.DSystem.LastDirIndex).AsTLinks.Add(object);
    db.Item(db.DSystem.LastDirIndex).AsTLinks.Add(object);
    db.DSystem.ItemByPath("list")->AsTLinks.Delete(1);
    db.DSystem.WriteValue("gone", StoreValue::fromInt32(1));
    db.DSystem.ItemByPath("gone")->Delete(fdbDeleteAll);
}

void expectSample(TfdbObject& db, int listLength) {
    for (size_t i = 0; i < std::size(everyKind); ++i) {
        StoreValue value = StoreValue::fromText("missing");
        db.DSystem.ReadValue("DEEP/er/est/v" + std::to_string(i), StoreValue::fromText("missing"), value);
        // An empty value reads as "not stored", so the default comes back for it.
        EXPECT_EQ(value, i == 0 ? StoreValue::fromText("missing") : everyKind[i]) << i;
    }
    StringList texts;
    EXPECT_EQ(db.Utils.LoadListFromPath("Source1", texts), 0);
    ASSERT_EQ(texts.size(), static_cast<size_t>(listLength));
    EXPECT_EQ(texts.back(), "D:\\Music\\track " + std::to_string(listLength - 1) + ".mp3");
    auto list = db.DSystem.ItemByPath("list");
    ASSERT_EQ(list->AsTLinks.Count(), 2);
    EXPECT_EQ(list->AsTLinks.Link(1).Index, 0);
    StoreValue size;
    list->AsTLinks.Link(0).AsObject.FieldByName("size").GetValue(size);
    EXPECT_EQ(size, StoreValue::fromInt64(123456789012));
    EXPECT_EQ(db.DSystem.ItemByPath("item")->Index > 0, true);
    EXPECT_EQ(db.DSystem.ItemByPath("gone")->Index, -1);
}

// Everything a store holds comes back from its file, and saving the loaded store again gives
// the same bytes.
TEST(StoreFileTest, RoundTripKeepsEverything) {
    TempFolder folder;
    TfdbObject saved;
    fillSample(saved, 10000);
    ASSERT_EQ(saved.Save(folder.program("conf.fdb"), 0), 0);

    TfdbObject loaded;
    ASSERT_EQ(loaded.Load(folder.program("conf.fdb"), 1), 0);
    expectSample(loaded, 10000);
    ASSERT_EQ(loaded.Save(folder.program("again.fdb"), 0), 0);
    EXPECT_EQ(readHostFile(folder.host("again.fdb")), readHostFile(folder.host("conf.fdb")));

    // The loaded store goes on working: new items, new names.
    EXPECT_LE(loaded.DSystem.WriteValue("deep/new", StoreValue::fromInt32(5)), 0);
    EXPECT_EQ(loaded.Utils.SaveListToPath("Source1", {"x"}), 0);
}

// A store that was never saved loads as empty with a positive code; so does a failed save.
TEST(StoreFileTest, MissingFilesAndFailedSaves) {
    TempFolder folder;
    TfdbObject db;
    db.DSystem.WriteValue("cb2", StoreValue::fromBool(true));
    EXPECT_EQ(db.Load(folder.program("none.fdb"), 1), fdbcode::FileUnreadable);
    EXPECT_EQ(db.Item(1).AsTLinks.Count(), 0);
    EXPECT_GT(db.Save(folder.program("no/such/folder/conf.fdb"), 0), 0);
    EXPECT_GT(db.Save("Q:\\unmapped\\conf.fdb", 0), 0);
    EXPECT_EQ(db.Load(folder.program("x"), 2), fdbcode::BadArgument);
}

// A small payload writer for hand-made (hostile) files.
struct Payload {
    std::string bytes;
    Payload& u8(uint8_t v) {
        bytes.push_back(static_cast<char>(v));
        return *this;
    }
    Payload& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            u8(static_cast<uint8_t>(v >> 8 * i));
        }
        return *this;
    }
    Payload& name(const std::string& n) {
        u8(static_cast<uint8_t>(n.size()));
        bytes += n;
        return *this;
    }
    Payload& dir(const std::string& n, std::initializer_list<uint32_t> links) {
        u8(fdbkind::Directory).name(n).u32(static_cast<uint32_t>(links.size()));
        for (uint32_t link : links) {
            u32(link);
        }
        return *this;
    }
    std::string file() const { return sealStorePayload(bytes); }
};

std::string withHeaderField(std::string file, size_t offset, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) {
        file[offset++] = static_cast<char>(b);
    }
    return file;
}

std::string smallValidFile() {
    TfdbObject db;
    fillSample(db, 3);
    return encodeStore(*db.Handle.store);
}

// Loads `bytes` from a file and checks the verdict: a positive code and an empty store that
// still works.
void expectRejected(const TempFolder& folder, const std::string& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    writeHostFile(folder.host("bad.fdb"), bytes);
    TfdbObject db;
    db.DSystem.WriteValue("before", StoreValue::fromInt32(1));
    EXPECT_GT(db.Load(folder.program("bad.fdb"), 1), 0);
    EXPECT_EQ(db.Item(1).AsTLinks.Count(), 0);
    EXPECT_LE(db.DSystem.WriteValue("after", StoreValue::fromInt32(2)), 0);
    StoreValue value;
    EXPECT_LE(db.DSystem.ReadValue("after", StoreValue(), value), 0);
    EXPECT_EQ(value.toInt64(), 2);
}

// Truncated at every length and flipped at every byte, a valid file is refused as a whole.
TEST(StoreFileTest, TruncatedAndFlippedFilesLoadEmpty) {
    TempFolder folder;
    std::string good = smallValidFile();
    ASSERT_GT(good.size(), 100u);
    for (size_t length = 0; length < good.size(); ++length) {
        expectRejected(folder, good.substr(0, length), "truncated to " + std::to_string(length));
    }
    for (size_t at = 0; at < good.size(); ++at) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x5A);
        expectRejected(folder, flipped, "flipped at " + std::to_string(at));
    }
    expectRejected(folder, good + "x", "one byte too many");
}

// Files with a correct checksum but impossible content: absurd counts and lengths, numbers
// out of range, unknown kinds and tags, a root that is not a directory.
TEST(StoreFileTest, HostileFilesLoadEmpty) {
    TempFolder folder;
    const uint32_t huge = 0xFFFFFFFF;
    struct Case {
        const char* what;
        std::string file;
    } cases[] = {
        {"no items", Payload().u32(0).file()},
        {"absurd item count", Payload().u32(huge).dir("", {}).file()},
        {"item count just too large", Payload().u32(2).dir("", {}).file()},
        {"absurd link count", Payload().u32(1).u8(fdbkind::Directory).name("").u32(huge).file()},
        {"link out of range", Payload().u32(1).dir("", {2}).file()},
        {"negative link", Payload().u32(1).dir("", {huge}).file()},
        {"absurd text length",
         Payload().u32(2).dir("", {2}).u8(fdbkind::Text).name("").u8(10).u32(huge).u32(0).file()},
        {"text longer than the rest",
         Payload().u32(2).dir("", {2}).u8(fdbkind::Text).name("").u8(10).u32(5).u8('a').file()},
        {"absurd field count", Payload().u32(2).dir("", {}).u8(fdbkind::ObjectMask).name("m").u32(huge).file()},
        {"field of unknown type",
         Payload().u32(2).dir("", {}).u8(fdbkind::ObjectMask).name("m").u32(1).name("f").u32(99).u32(0).u32(0).u32(0).file()},
        {"object whose mask is a directory",
         Payload().u32(2).dir("", {2}).u8(fdbkind::Object).name("").u32(1).u32(0).file()},
        {"name longer than the rest", Payload().u32(1).u8(fdbkind::Directory).u8(200).file()},
        {"unknown kind", Payload().u32(2).dir("", {}).u8(42).name("").file()},
        {"free kind", Payload().u32(2).dir("", {}).u8(fdbkind::Free).name("").file()},
        {"unknown value tag", Payload().u32(2).dir("", {}).u8(fdbkind::Value).name("").u8(11).file()},
        {"bool that is neither", Payload().u32(2).dir("", {}).u8(fdbkind::Value).name("").u8(1).u8(2).file()},
        {"root is a list", Payload().u32(1).u8(fdbkind::LinkList).name("").u32(0).file()},
        {"garbage after the items", Payload().u32(1).dir("", {}).u8(0).file()},
        {"payload length beyond the file", withHeaderField(Payload().u32(1).dir("", {}).file(), 12, {0xFF, 0xFF})},
        {"payload length 2^64-1",
         withHeaderField(Payload().u32(1).dir("", {}).file(), 12, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"another version", withHeaderField(Payload().u32(1).dir("", {}).file(), 8, {2})},
        {"another magic", withHeaderField(Payload().u32(1).dir("", {}).file(), 0, {'X'})},
        {"text, not a store", std::string("Source1=D:\\Music\n")},
    };
    for (const auto& c : cases) {
        expectRejected(folder, c.file, c.what);
    }
    // The writer itself makes a loadable file, so the cases above fail for their own reason.
    writeHostFile(folder.host("ok.fdb"), Payload().u32(1).dir("", {}).file());
    TfdbObject db;
    EXPECT_EQ(db.Load(folder.program("ok.fdb"), 1), 0);
}

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

ToolRun runTool(const TempFolder& folder, const std::string& arguments) {
    std::string command = std::string("'") + TUNEWAGON_FDB + "' " + arguments + " >'" + folder.host("out") +
                          "' 2>'" + folder.host("err") + "'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readHostFile(folder.host("out")),
            readHostFile(folder.host("err"))};
}

// The dump tool shows a good file's tree, and refuses a corrupt file or wrong usage cleanly.
TEST(StoreDumpToolTest, DumpsGoodFilesAndRefusesBadOnes) {
    TempFolder folder;
    TfdbObject db;
    db.Utils.SaveListToPath("Dest", {"D:\\Out", "E:\\Copy"});
    db.DSystem.WriteValue("seDiv", StoreValue::fromInt32(2));
    db.DSystem.WriteValue("cb2", StoreValue::fromBool(true));
    ASSERT_EQ(db.Save(folder.program("conf.fdb"), 0), 0);

    ToolRun good = runTool(folder, "dump '" + folder.host("conf.fdb") + "'");
    EXPECT_EQ(good.exitCode, 0);
    EXPECT_EQ(good.err, "");
    EXPECT_EQ(good.out, "1 directory (root, 3 links)\n"
                        "  2 directory \"Dest\" (2 links)\n"
                        "    3 text = text \"D:\\\\Out\"\n"
                        "    4 text = text \"E:\\\\Copy\"\n"
                        "  5 value \"seDiv\" = int32 2\n"
                        "  6 value \"cb2\" = bool true\n");

    writeHostFile(folder.host("bad.fdb"), "not a store");
    ToolRun bad = runTool(folder, "dump '" + folder.host("bad.fdb") + "'");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_THAT(bad.err, HasSubstr("bad.fdb"));
    EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1);

    EXPECT_EQ(runTool(folder, "dump '" + folder.host("missing.fdb") + "'").exitCode, 1);
    ToolRun usage = runTool(folder, "show");
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_THAT(usage.err, HasSubstr("usage"));
    EXPECT_EQ(runTool(folder, "").exitCode, 2);
}

} // namespace
