// Start-up and shutdown of the window: the state of a first start, the settings written at
// close and restored at the next start, and what a damaged or odd settings file does.
#include "window_fixture.h"

#include <QTreeView>

#include "platform/drives.h"

#include "app/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QThread>

namespace apptest {
namespace {

using store::StoreValue;

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return items;
}

// Writes single values into a settings file as an earlier run (or a person) could have left them.
void writeStoredValues(const std::string& path,
                       const std::vector<std::pair<std::string, StoreValue>>& values) {
    store::TfdbObject conf;
    for (const auto& [key, value] : values) {
        ASSERT_LE(conf.DSystem.WriteValue(key, value), 0) << key;
    }
    ASSERT_LE(conf.Save(path, 0), 0);
}

void expectFirstStartState(const app::TForm1& window) {
    for (const QComboBox* history : {window.cbSource1, window.cbSource2, window.cbDest, window.cbSizeLimit}) {
        EXPECT_EQ(history->count(), 0) << history->objectName().toStdString();
        EXPECT_TRUE(history->currentText().isEmpty()) << history->objectName().toStdString();
    }
    EXPECT_TRUE(window.chCreateList->isChecked());
    EXPECT_TRUE(window.cbDiv->isChecked());
    EXPECT_TRUE(window.cbAutoSizeLimit->isChecked());
    EXPECT_FALSE(window.cb2->isChecked());
    EXPECT_FALSE(window.cb3->isChecked());
    EXPECT_FALSE(window.cb4->isChecked());
    EXPECT_FALSE(window.chVerify->isChecked());
    EXPECT_FALSE(window.chFlush->isChecked());
    EXPECT_EQ(window.seDiv->value(), 1);
    EXPECT_EQ(window.cb5->currentText(), QStringLiteral("Удалять"));
    EXPECT_EQ(window.cbExistAction->currentText(),
              QStringLiteral("Переименовывать (добавление номера в скобках)"));
    EXPECT_EQ(window.Shell.SourceKind, 1);
    EXPECT_TRUE(window.RadioButton1->isChecked());
    EXPECT_EQ(window.RadioGroup1->itemIndex(), 1);
    EXPECT_EQ(window.cbConvert->currentText(), QStringLiteral("нет"));
    EXPECT_EQ(window.cbConvertQuality->currentText(), QStringLiteral("VBR V2"));
    EXPECT_EQ(window.cbConvertWhich->currentIndex(), 0);
    EXPECT_EQ(window.cbConvertDevice->currentIndex(), 0);
    EXPECT_TRUE(window.edConvertFormats->text().isEmpty());
    EXPECT_EQ(window.seConvertJobs->value(), std::max(1, QThread::idealThreadCount()));
    EXPECT_EQ(window.PCL->currentWidget(), window.TS0);
    EXPECT_FALSE(window.Shell.WorkActive);
    EXPECT_TRUE(window.Shell.RunIdle);
}

// Without a settings file every control shows its default, and closing creates the file.
TEST_F(WindowTest, FirstStartShowsDefaultsAndCloseWritesEveryKey) {
    auto window = startWindow();
    expectFirstStartState(*window);
    EXPECT_FALSE(settingsFileExists());
    ASSERT_TRUE(window->close());
    ASSERT_TRUE(settingsFileExists());

    store::TfdbObject conf;
    ASSERT_LE(loadSettingsFile(conf), 0);
    for (const char* list : {"Source1", "Source2", "Dest", "SizeLimit"}) {
        int item = 0;
        EXPECT_LE(conf.DSystem.Resolve(list, item), 0) << list;
    }
    const std::pair<const char*, StoreValue> values[] = {
        {"CreateList", StoreValue::fromBool(true)},
        {"cb2", StoreValue::fromBool(false)},
        {"cb3", StoreValue::fromBool(false)},
        {"cb4", StoreValue::fromBool(false)},
        {"cbDiv", StoreValue::fromBool(true)},
        {"seDiv", StoreValue::fromInt32(1)},
        {"cb5", StoreValue::fromInt32(0)},
        {"cbAutoSizeLimit", StoreValue::fromBool(true)},
        {"cbExistAction", StoreValue::fromInt32(1)},
        {"RG2", StoreValue::fromInt32(1)},
        {"AbsoluteList", StoreValue::fromBool(false)},
        {"Verify", StoreValue::fromBool(false)},
        {"Flush", StoreValue::fromBool(false)},
        {"Drives", StoreValue::fromText("")},
        {"ReadTags", StoreValue::fromBool(true)},
        {"TagsWin", StoreValue::fromBool(false)},
        {"DescriptionFormat", StoreValue::fromText("%artist% - %title%")},
        {"Convert", StoreValue::fromText("")},
        {"ConvertWhich", StoreValue::fromInt32(0)},
        {"ConvertDevice", StoreValue::fromInt32(0)},
        {"ConvertFormats", StoreValue::fromText("")},
        {"ConvertJobs", StoreValue::fromInt32(0)},
    };
    for (const auto& [key, expected] : values) {
        StoreValue stored;
        EXPECT_LE(conf.DSystem.ReadValue(key, StoreValue(), stored), 0) << key;
        EXPECT_EQ(stored, expected) << key;
    }

    expectFirstStartState(*startWindow());
}

// The drives of the settings' "Drives" key are in the table once the window has started, so
// that playlists made on other machines find their files; the key is written back as it was.
TEST_F(WindowTest, DrivesOfTheSettingsAreMounted) {
    testsupport::SavedDriveTable savedTable;
    testsupport::TempDrive old{'E'};
    const std::string host = old.hostRoot();
    platform::unmountDrive('E');
    const std::string text = "E:=" + host + ";junk";
    {
        store::TfdbObject conf;
        conf.DSystem.WriteValue("Drives", StoreValue::fromText(text));
        ASSERT_LE(conf.Save(settingsPath(), 0), 0);
    }
    auto window = startWindow();
    EXPECT_EQ(platform::driveHostFolder('E'), std::optional<std::string>(host));
    ASSERT_TRUE(window->close());
    store::TfdbObject conf;
    ASSERT_LE(loadSettingsFile(conf), 0);
    StoreValue stored;
    conf.DSystem.ReadValue("Drives", StoreValue(), stored);
    EXPECT_EQ(stored.toText(), text);
}

// What the user chose comes back at the next start, histories included; the typed texts of
// the fields and the copy mode are not kept.
TEST_F(WindowTest, SecondStartRestoresTheClosedState) {
    {
        auto window = startWindow();
        window->cbSource1->addItems({"D:\\Lists\\new.m3u", "D:\\Lists\\old.m3u"});
        window->cbSource1->setEditText("D:\\typed.m3u");
        window->cbSource2->addItems({"D:\\Музыка"});
        window->cbDest->addItems({"E:\\Сборник", "E:\\"});
        window->cbSizeLimit->addItems({"700", "4700"});
        window->cbSizeLimit->setEditText("650");
        window->chCreateList->setChecked(false);
        window->chAbsoluteList->setChecked(true);
        window->chVerify->setChecked(true);
        window->chFlush->setChecked(true);
        window->cb2->setChecked(true);
        window->cb3->setChecked(true);
        window->cb4->setChecked(true);
        window->cbDiv->setChecked(false);
        window->seDiv->setValue(3);
        window->cb5->setCurrentIndex(2);
        window->cbAutoSizeLimit->setChecked(false);
        window->cbExistAction->setCurrentIndex(0);
        window->SetSourceKind(2);
        window->RadioGroup1->setItemIndex(0);
        window->cbConvert->setCurrentIndex(2);
        window->cbConvertQuality->setCurrentIndex(7);
        window->cbConvertWhich->setCurrentIndex(1);
        window->cbConvertDevice->setCurrentIndex(2);
        window->edConvertFormats->setText("mp3, Flac");
        window->seConvertJobs->setValue(1);
        ASSERT_TRUE(window->close());
    }

    auto window = startWindow();
    EXPECT_EQ(itemsOf(window->cbSource1), QStringList({"D:\\Lists\\new.m3u", "D:\\Lists\\old.m3u"}));
    EXPECT_EQ(itemsOf(window->cbSource2), QStringList({"D:\\Музыка"}));
    EXPECT_EQ(itemsOf(window->cbDest), QStringList({"E:\\Сборник", "E:\\"}));
    EXPECT_EQ(itemsOf(window->cbSizeLimit), QStringList({"700", "4700"}));
    for (const QComboBox* field : {window->cbSource1, window->cbSource2, window->cbDest}) {
        EXPECT_TRUE(field->currentText().isEmpty()) << field->objectName().toStdString();
    }
    EXPECT_EQ(window->cbSizeLimit->currentText(), QStringLiteral("700"));
    EXPECT_FALSE(window->chCreateList->isChecked());
    EXPECT_TRUE(window->chAbsoluteList->isChecked());
    EXPECT_TRUE(window->chVerify->isChecked());
    EXPECT_TRUE(window->chFlush->isChecked());
    EXPECT_TRUE(window->cb2->isChecked());
    EXPECT_TRUE(window->cb3->isChecked());
    EXPECT_TRUE(window->cb4->isChecked());
    EXPECT_FALSE(window->cbDiv->isChecked());
    EXPECT_EQ(window->seDiv->value(), 3);
    EXPECT_EQ(window->cb5->currentIndex(), 2);
    EXPECT_FALSE(window->cbAutoSizeLimit->isChecked());
    EXPECT_EQ(window->cbExistAction->currentIndex(), 0);
    EXPECT_EQ(window->Shell.SourceKind, 2);
    EXPECT_TRUE(window->RadioButton2->isChecked());
    EXPECT_EQ(window->RadioGroup1->itemIndex(), 1);
    EXPECT_EQ(window->cbConvert->currentText(), QStringLiteral("Ogg Vorbis"));
    EXPECT_EQ(window->cbConvertQuality->currentText(), QStringLiteral("q7"));
    EXPECT_EQ(window->cbConvertWhich->currentIndex(), 1);
    EXPECT_EQ(window->cbConvertDevice->currentText(), QStringLiteral("Свои форматы"));
    EXPECT_EQ(window->edConvertFormats->text(), QStringLiteral("mp3, Flac"));
    EXPECT_TRUE(window->edConvertFormats->isEnabled());
    EXPECT_EQ(window->seConvertJobs->value(), 1);
}

// Stored conversion values that name nothing the page offers, or are of another kind, show
// the defaults of their own control; values the page offers are taken.
TEST_F(WindowTest, StoredConversionValuesOutsideThePageTakeTheirDefaults) {
    const int cores = std::max(1, QThread::idealThreadCount());
    const struct {
        const char* name;
        std::vector<std::pair<std::string, StoreValue>> stored;
        const char* format;
        const char* quality;
        int which, device, jobs;
    } cases[] = {
        {"unknown format",
         {{"Convert", StoreValue::fromText("flac:8")}, {"ConvertJobs", StoreValue::fromInt32(-3)}},
         "нет",
         "VBR V2",
         0,
         0,
         cores},
        {"numbers where texts belong",
         {{"Convert", StoreValue::fromInt32(3)}, {"ConvertFormats", StoreValue::fromInt32(7)}},
         "нет",
         "VBR V2",
         0,
         0,
         cores},
        {"indexes outside the lists",
         {{"Convert", StoreValue::fromText("MP3:320")},
          {"ConvertWhich", StoreValue::fromInt32(2)},
          {"ConvertDevice", StoreValue::fromInt32(-1)},
          {"ConvertJobs", StoreValue::fromInt32(100000)}},
         "MP3",
         "CBR 320 кбит/с",
         0,
         0,
         cores},
        {"a quality the list does not offer",
         {{"Convert", StoreValue::fromText("opus:100")},
          {"ConvertWhich", StoreValue::fromText("1")},
          {"ConvertDevice", StoreValue::fromInt32(1)},
          {"ConvertJobs", StoreValue::fromInt32(1)}},
         "Opus",
         "128 кбит/с",
         0,
         1,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeStoredValues(settingsPath(), c.stored);
        auto window = startWindow();
        EXPECT_EQ(window->cbConvert->currentText().toStdString(), c.format);
        EXPECT_EQ(window->cbConvertQuality->currentText().toStdString(), c.quality);
        EXPECT_EQ(window->cbConvertWhich->currentIndex(), c.which);
        EXPECT_EQ(window->cbConvertDevice->currentIndex(), c.device);
        EXPECT_EQ(window->seConvertJobs->value(), c.jobs);
        EXPECT_TRUE(window->close());
    }
}

// A damaged settings file is no reason to fail: the defaults show, and the next close
// replaces the file with a good one.
TEST_F(WindowTest, DamagedSettingsFileStartsWithDefaultsAndIsReplaced) {
    {
        auto window = startWindow();
        window->cb2->setChecked(true);
        ASSERT_TRUE(window->close());
    }
    const std::string good = drive.readFile("conf.fdb");
    const char garbage[] = "\x7f"
                           "garbage, not a store\0\xff\xfe";
    const std::pair<const char*, std::string> damages[] = {
        {"garbage", std::string(garbage, sizeof garbage - 1)},
        {"truncated", good.substr(0, good.size() / 2)},
        {"empty", ""},
    };
    for (const auto& [name, bytes] : damages) {
        SCOPED_TRACE(name);
        drive.writeFile("conf.fdb", bytes);
        {
            auto window = startWindow();
            expectFirstStartState(*window);
            window->cb3->setChecked(true);
            ASSERT_TRUE(window->close());
        }
        store::TfdbObject conf;
        EXPECT_LE(loadSettingsFile(conf), 0);
        EXPECT_TRUE(startWindow()->cb3->isChecked());
    }
}

// A stored list index that names no item shows no selection instead of crashing; the
// window still closes and saves.
TEST_F(WindowTest, StoredIndexOutsideTheListSelectsNothing) {
    const std::pair<int32_t, int32_t> cases[] = {{3, -2}, {-1, 3}, {1000000, 99}};
    for (const auto& [cb5, existAction] : cases) {
        SCOPED_TRACE(std::to_string(cb5) + " / " + std::to_string(existAction));
        writeStoredValues(settingsPath(), {{"cb5", StoreValue::fromInt32(cb5)},
                                           {"cbExistAction", StoreValue::fromInt32(existAction)}});
        auto window = startWindow();
        EXPECT_EQ(window->cb5->currentIndex(), -1);
        EXPECT_TRUE(window->cb5->currentText().isEmpty());
        EXPECT_EQ(window->cbExistAction->currentIndex(), -1);
        EXPECT_TRUE(window->cbExistAction->currentText().isEmpty());
        EXPECT_EQ(window->cb5->count(), 3);
        EXPECT_TRUE(window->close());
    }
}

// A stored source type becomes SourceKind as it is; only 1..3 tick a radio button, any other
// leaves the playlist button ticked from the start-up defaults.
TEST_F(WindowTest, StoredSourceKindTicksItsButton) {
    const struct {
        int32_t stored;
        int ticked; // 1..3, the radio button expected ticked
    } cases[] = {{1, 1}, {2, 2}, {3, 3}, {0, 1}, {9, 1}, {-4, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        writeStoredValues(settingsPath(), {{"RG2", StoreValue::fromInt32(c.stored)}});
        auto window = startWindow();
        EXPECT_EQ(window->Shell.SourceKind, c.stored);
        const QRadioButton* buttons[] = {window->RadioButton1, window->RadioButton2, window->RadioButton3};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(buttons[i]->isChecked(), i + 1 == c.ticked) << i + 1;
        }
    }
}

// The track-list store is ready at start: an empty "list" and the mask "item" linked in the root.
TEST_F(WindowTest, StartPreparesAnEmptyTrackList) {
    auto window = startWindow();
    ASSERT_NE(window->ListDb, nullptr);
    auto list = window->ListDb->DSystem.ItemByPath("list");
    ASSERT_GT(list->Index, 1);
    EXPECT_EQ(list->AsTLinks.Count(), 0);
    auto mask = window->ListDb->DSystem.ItemByPath("item");
    ASSERT_GT(mask->Index, 1);
    int entry = 0;
    ASSERT_LE(window->ListDb->CreateObject(mask->Index, entry, 0), 0);
    for (const char* field : {"OrigFileName", "FileName", "Desc", "size", "Len"}) {
        EXPECT_GT(window->ListDb->Item(entry).AsObject.FieldRef(field)->Index, 0) << field;
    }
}

// The window opens where it was closed, at the size it had, when that still lies on the
// screen; a place off every screen is not taken. The preview's columns keep their widths.
TEST_F(WindowTest, WindowOpensWhereItWasClosed) {
    const QRect place(10, 20, 600, 440);
    {
        auto window = startWindow();
        window->setGeometry(place);
        window->ListView1->setColumnWidth(1, 333);
        ASSERT_TRUE(window->close());
    }
    {
        auto window = startWindow();
        EXPECT_EQ(window->geometry(), place);
        EXPECT_EQ(window->ListView1->columnWidth(1), 333);
        window->setGeometry(QRect(5000, 5000, 600, 440));
        ASSERT_TRUE(window->close());
    }
    auto window = startWindow();
    EXPECT_NE(window->geometry().topLeft(), QPoint(5000, 5000));
}

} // namespace
} // namespace apptest
