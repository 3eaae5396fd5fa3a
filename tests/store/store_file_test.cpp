// Store files: the round trip, damaged and hostile files, and the dump tool on both.
#include "store/object_model.h"
#include "store/store_dump.h"
#include "store/store_file.h"

#include "support/temp_drive.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <sys/wait.h>

using namespace store;
using ::testing::HasSubstr;
using testsupport::TempDrive;
using StringList = std::vector<std::string>;

namespace {

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
        // With a default of its own kind (an empty one for the empty value), so the stored kind
        // is what the reader expects.
        StoreValue value = StoreValue::fromText("missing");
        db.DSystem.ReadValue("DEEP/er/est/v" + std::to_string(i), everyKind[i], value);
        EXPECT_EQ(value, everyKind[i]) << i;
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
// The check sum is the common CRC-32 (the stored files' seal), for any length and alignment.
TEST(StoreFileTest, CheckSumIsTheCommonCrc32) {
    EXPECT_EQ(store::crc32(""), 0u);
    EXPECT_EQ(store::crc32("123456789"), 0xCBF43926u);
    std::string bytes(1027, '\0');
    std::mt19937 random(7);
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    for (const size_t from : {size_t{0}, size_t{1}, size_t{5}}) {
        uint32_t byByte = 0xFFFFFFFFu;
        for (size_t i = from; i < bytes.size(); ++i) {
            byByte ^= static_cast<unsigned char>(bytes[i]);
            for (int bit = 0; bit < 8; ++bit) {
                byByte = (byByte & 1) ? 0xEDB88320u ^ (byByte >> 1) : byByte >> 1;
            }
        }
        EXPECT_EQ(store::crc32(std::string_view(bytes).substr(from)), byByte ^ 0xFFFFFFFFu) << from;
    }
}

TEST(StoreFileTest, RoundTripKeepsEverything) {
    TempDrive drive;
    TfdbObject saved;
    fillSample(saved, 10000);
    ASSERT_EQ(saved.Save("D:\\conf.fdb", 0), 0);

    TfdbObject loaded;
    ASSERT_EQ(loaded.Load("D:\\conf.fdb", 1), 0);
    expectSample(loaded, 10000);
    ASSERT_EQ(loaded.Save("D:\\again.fdb", 0), 0);
    EXPECT_EQ(drive.readFile("again.fdb"), drive.readFile("conf.fdb"));

    // The loaded store goes on working: new items, new names.
    EXPECT_LE(loaded.DSystem.WriteValue("deep/new", StoreValue::fromInt32(5)), 0);
    EXPECT_EQ(loaded.Utils.SaveListToPath("Source1", {"x"}), 0);
}

// A store that was never saved loads as empty with a positive code; so does a failed save.
TEST(StoreFileTest, MissingFilesAndFailedSaves) {
    TempDrive drive;
    TfdbObject db;
    db.DSystem.WriteValue("cb2", StoreValue::fromBool(true));
    EXPECT_EQ(db.Load("D:\\none.fdb", 1), fdbcode::FileUnreadable);
    EXPECT_EQ(db.Item(1).AsTLinks.Count(), 0);
    EXPECT_GT(db.Save("D:\\no\\such\\folder\\conf.fdb", 0), 0);
    EXPECT_GT(db.Save("Q:\\unmapped\\conf.fdb", 0), 0);
    EXPECT_EQ(db.Load("D:\\x", 2), fdbcode::BadArgument);
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
void expectRejected(const TempDrive& drive, const std::string& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    drive.writeFile("bad.fdb", bytes);
    TfdbObject db;
    db.DSystem.WriteValue("before", StoreValue::fromInt32(1));
    EXPECT_GT(db.Load("D:\\bad.fdb", 1), 0);
    EXPECT_EQ(db.Item(1).AsTLinks.Count(), 0);
    EXPECT_LE(db.DSystem.WriteValue("after", StoreValue::fromInt32(2)), 0);
    StoreValue value;
    EXPECT_LE(db.DSystem.ReadValue("after", StoreValue(), value), 0);
    EXPECT_EQ(value.toInt64(), 2);
}

// Truncated at every length and flipped at every byte, a valid file is refused as a whole.
TEST(StoreFileTest, TruncatedAndFlippedFilesLoadEmpty) {
    std::string good = smallValidFile();
    ASSERT_GT(good.size(), 100u);
    // Every damaged copy is refused by the decoder, which leaves its target untouched...
    auto refused = [](const std::string& bytes) {
        FdbStore target;
        target.items.resize(7);
        return decodeStore(bytes, target) == fdbcode::FileCorrupt && target.items.size() == 7;
    };
    for (size_t length = 0; length < good.size(); ++length) {
        EXPECT_TRUE(refused(good.substr(0, length))) << "truncated to " << length;
    }
    for (size_t at = 0; at < good.size(); ++at) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x5A);
        EXPECT_TRUE(refused(flipped)) << "flipped at " << at;
    }
    // ...and a few of them go the whole way through a file into a store object.
    TempDrive drive;
    std::string flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 1);
    expectRejected(drive, "", "empty");
    expectRejected(drive, good.substr(0, good.size() / 2), "half");
    expectRejected(drive, good.substr(0, good.size() - 1), "one byte short");
    expectRejected(drive, flipped, "one bit flipped");
    expectRejected(drive, good + "x", "one byte too many");
}

// Files with a correct checksum but impossible content: absurd counts and lengths, numbers
// out of range, unknown kinds and tags, a root that is not a directory.
TEST(StoreFileTest, HostileFilesLoadEmpty) {
    TempDrive drive;
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
        {"absurd field count",
         Payload().u32(2).dir("", {}).u8(fdbkind::ObjectMask).name("m").u32(huge).file()},
        {"field of unknown type", Payload()
                                      .u32(2)
                                      .dir("", {})
                                      .u8(fdbkind::ObjectMask)
                                      .name("m")
                                      .u32(1)
                                      .name("f")
                                      .u32(99)
                                      .u32(0)
                                      .u32(0)
                                      .u32(0)
                                      .file()},
        {"object whose mask is a directory",
         Payload().u32(2).dir("", {2}).u8(fdbkind::Object).name("").u32(1).u32(0).file()},
        {"name longer than the rest", Payload().u32(1).u8(fdbkind::Directory).u8(200).file()},
        {"unknown kind", Payload().u32(2).dir("", {}).u8(42).name("").file()},
        {"free kind", Payload().u32(2).dir("", {}).u8(fdbkind::Free).name("").file()},
        {"unknown value tag", Payload().u32(2).dir("", {}).u8(fdbkind::Value).name("").u8(11).file()},
        {"bool that is neither", Payload().u32(2).dir("", {}).u8(fdbkind::Value).name("").u8(1).u8(2).file()},
        {"root is a list", Payload().u32(1).u8(fdbkind::LinkList).name("").u32(0).file()},
        {"garbage after the items", Payload().u32(1).dir("", {}).u8(0).file()},
        {"payload length beyond the file",
         withHeaderField(Payload().u32(1).dir("", {}).file(), 12, {0xFF, 0xFF})},
        {"payload length 2^64-1", withHeaderField(Payload().u32(1).dir("", {}).file(), 12,
                                                  {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"another version", withHeaderField(Payload().u32(1).dir("", {}).file(), 8, {2})},
        {"another magic", withHeaderField(Payload().u32(1).dir("", {}).file(), 0, {'X'})},
        {"text, not a store", std::string("Source1=D:\\Music\n")},
        // The items must form a tree: deleting one deletes all it holds.
        {"item held by two directories", Payload().u32(3).dir("", {2, 3}).dir("a", {3}).dir("b", {}).file()},
        {"item held twice by one directory", Payload().u32(2).dir("", {2, 2}).dir("a", {}).file()},
        {"root held by an item", Payload().u32(2).dir("", {2}).dir("a", {1}).file()},
        {"root holding itself", Payload().u32(1).dir("", {1}).file()},
        {"circle apart from the root", Payload().u32(3).dir("", {}).dir("a", {3}).dir("b", {2}).file()},
    };
    for (const auto& c : cases) {
        expectRejected(drive, c.file, c.what);
    }
    // The writer itself makes a loadable file, so the cases above fail for their own reason.
    drive.writeFile("ok.fdb", Payload().u32(1).dir("", {}).file());
    TfdbObject db;
    EXPECT_EQ(db.Load("D:\\ok.fdb", 1), 0);
}

// A damaged file is kept as "<name>.bad" when it loads empty, so the save that follows leaves a
// trace of what the user had: the case, a history entry held by two lists.
TEST(StoreFileTest, DamagedFileIsKeptBesideIt) {
    TempDrive drive;
    const auto historyFile = [](uint32_t destLink) {
        return Payload()
            .u32(4)
            .dir("", {2, 3})
            .dir("Source1", {4})
            .dir("Dest", {destLink})
            .u8(fdbkind::Text)
            .name("")
            .u8(static_cast<uint8_t>(StoreValue::Kind::Text))
            .u32(1)
            .u8('x')
            .file();
    };
    const std::string shared = historyFile(4);
    TfdbObject db;
    // The same file with the entry held once is sound.
    drive.writeFile("once.fdb", historyFile(0));
    EXPECT_EQ(db.Load("D:\\once.fdb", 1), fdbcode::Ok);
    drive.writeFile("conf.fdb", shared);
    EXPECT_EQ(db.Load("D:\\conf.fdb", 1), fdbcode::FileCorrupt);
    EXPECT_EQ(drive.readFile("conf.fdb.bad"), shared);
    ASSERT_EQ(db.Save("D:\\conf.fdb", 0), 0);
    EXPECT_EQ(drive.readFile("conf.fdb.bad"), shared);
    // A missing file is no damage, and the C call used by the dump tool keeps nothing.
    EXPECT_EQ(db.Load("D:\\none.fdb", 1), fdbcode::FileUnreadable);
    EXPECT_FALSE(drive.exists("none.fdb.bad"));
    drive.writeFile("tool.fdb", shared);
    EXPECT_EQ(fdb_dbLoad(db.Handle, "D:\\tool.fdb", 1), fdbcode::FileCorrupt);
    EXPECT_FALSE(drive.exists("tool.fdb.bad"));
}

// Damage that the checksum cannot catch (the file resealed after the change) must still never
// break the store: whatever loads can be walked, shown, saved, reloaded and emptied.
TEST(StoreFileTest, ResealedDamageNeverBreaksTheStore) {
    std::string payload = smallValidFile().substr(storeFileHeaderSize);
    std::mt19937 random(20240611);
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = payload;
        for (int flips = 1 + round % 3; flips > 0; --flips) {
            damaged[random() % damaged.size()] = static_cast<char>(random());
        }
        FdbStore store;
        if (decodeStore(sealStorePayload(damaged), store) > 0) {
            continue;
        }
        ++loaded;
        TfdbHandle handle;
        handle.store = std::make_unique<FdbStore>(std::move(store));
        std::ostringstream shown;
        dumpStore(handle, shown);
        FdbStore again;
        ASSERT_EQ(decodeStore(encodeStore(*handle.store), again), 0) << "round " << round;
        int item = 0;
        fdb_d2GetR(handle, "Source1", item, 1, fdbPathKind);
        fdb_d2GetR(handle, "list", item, 1, fdbPathKind);
        for (int n = static_cast<int>(handle.store->items.size()) - 1; n > 1; --n) {
            int field = 0;
            fdb_oGetLinkN(handle, n, "size", field);
            fdb_DeleteEx(handle, n, fdbDeleteAll);
        }
        fdb_tlRemoveNulls(handle, 1);
        for (int i = 0; i < fdb_tlCount(handle, 1); ++i) {
            EXPECT_EQ(fdb_tlGet(handle, 1, i), 1) << "only the undeletable root may remain, round " << round;
        }
    }
    EXPECT_GT(loaded, 100) << "the damage should often leave a loadable file";
}

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

ToolRun runTool(const TempDrive& drive, const std::string& arguments) {
    std::string command = std::string("'") + TUNEWAGON_FDB + "' " + arguments + " >'" +
                          drive.hostPath("out") + "' 2>'" + drive.hostPath("err") + "'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, drive.readFile("out"), drive.readFile("err")};
}

// The dump tool shows a good file's tree, and refuses a corrupt file or wrong usage cleanly.
TEST(StoreDumpToolTest, DumpsGoodFilesAndRefusesBadOnes) {
    TempDrive drive;
    TfdbObject db;
    db.Utils.SaveListToPath("Dest", {"D:\\Out", "E:\\Copy"});
    db.DSystem.WriteValue("seDiv", StoreValue::fromInt32(2));
    db.DSystem.WriteValue("cb2", StoreValue::fromBool(true));
    ASSERT_EQ(db.Save("D:\\conf.fdb", 0), 0);

    ToolRun good = runTool(drive, "dump '" + drive.hostPath("conf.fdb") + "'");
    EXPECT_EQ(good.exitCode, 0);
    EXPECT_EQ(good.err, "");
    EXPECT_EQ(good.out, "1 directory (root, 3 links)\n"
                        "  2 directory \"Dest\" (2 links)\n"
                        "    3 text = text \"D:\\\\Out\"\n"
                        "    4 text = text \"E:\\\\Copy\"\n"
                        "  5 value \"seDiv\" = int32 2\n"
                        "  6 value \"cb2\" = bool true\n");

    drive.writeFile("bad.fdb", "not a store");
    ToolRun bad = runTool(drive, "dump '" + drive.hostPath("bad.fdb") + "'");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_THAT(bad.err, HasSubstr("bad.fdb"));
    EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1);

    EXPECT_EQ(runTool(drive, "dump '" + drive.hostPath("missing.fdb") + "'").exitCode, 1);
    ToolRun usage = runTool(drive, "show");
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_THAT(usage.err, HasSubstr("usage"));
    EXPECT_EQ(runTool(drive, "").exitCode, 2);
}

} // namespace
