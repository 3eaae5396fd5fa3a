// The destination page's options as the controls show them: the enabled states, the automatic
// size limit following the destination's free space, and typed limits with their history.
#include "window_fixture.h"

#include "app/widgets.h"
#include "platform/files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>

namespace apptest {
namespace {

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return items;
}

class DestOptionsTest : public WindowTest {
protected:
    // Free megabytes of drive D: now, as the limit box would show them.
    int64_t freeMegabytesOfD() const { return platform::freeSpace('D', destDrive.programPath()) / 1000000; }

    testsupport::TempDrive destDrive{'D'};
};

// With "Авто" ticked the limit box follows the destination's free space as it is typed: the
// volume of the mounted folder, 0 for a drive that cannot be queried. Unticking keeps the
// text and lets the person type; ticking again takes the free space once more.
TEST_F(DestOptionsTest, AutomaticLimitFollowsTheDestinationFreeSpace) {
    auto window = startWindow();
    window->PCL->setCurrentWidget(window->TS3);
    ASSERT_TRUE(window->cbAutoSizeLimit->isChecked());
    EXPECT_FALSE(window->cbSizeLimit->isEnabled());

    // Free space moves with whatever else writes to the disk: the shown value must lie
    // between the readings taken before and after.
    const int64_t before = freeMegabytesOfD();
    window->cbDest->setEditText(QStringLiteral("D:\\Сборник\\Новый"));
    const int64_t shown = window->cbSizeLimit->currentText().toLongLong();
    const int64_t after = freeMegabytesOfD();
    EXPECT_GT(shown, 0);
    EXPECT_GE(shown, std::min(before, after));
    EXPECT_LE(shown, std::max(before, after));

    window->cbDest->setEditText(QStringLiteral("Q:\\Music"));
    EXPECT_EQ(window->cbSizeLimit->currentText(), QStringLiteral("0"));

    window->cbAutoSizeLimit->setChecked(false);
    EXPECT_TRUE(window->cbSizeLimit->isEnabled());
    window->cbSizeLimit->setEditText(QStringLiteral("700"));
    window->cbDest->setEditText(QStringLiteral("D:\\"));
    EXPECT_EQ(window->cbSizeLimit->currentText(), QStringLiteral("700"));

    window->cbAutoSizeLimit->setChecked(true);
    EXPECT_FALSE(window->cbSizeLimit->isEnabled());
    EXPECT_GT(window->cbSizeLimit->currentText().toLongLong(), 0);
}

// cbDiv enables seDiv and CheckBox1 the renaming group, each on its click and again whenever
// the page is shown (here the change comes while the boxes send no signal).
TEST_F(DestOptionsTest, DependentControlsFollowTheirBoxes) {
    auto window = startWindow();
    window->PCL->setCurrentWidget(window->TS3);
    EXPECT_TRUE(window->seDiv->isEnabled());
    EXPECT_TRUE(window->GroupBox1->isEnabled());

    window->cbDiv->setChecked(false);
    EXPECT_FALSE(window->seDiv->isEnabled());
    window->CheckBox1->setChecked(false);
    EXPECT_FALSE(window->GroupBox1->isEnabled());

    window->PCL->setCurrentWidget(window->TS2);
    {
        const QSignalBlocker quietDiv(window->cbDiv);
        const QSignalBlocker quietRename(window->CheckBox1);
        window->cbDiv->setChecked(true);
        window->CheckBox1->setChecked(true);
    }
    EXPECT_FALSE(window->seDiv->isEnabled());
    window->PCL->setCurrentWidget(window->TS3);
    EXPECT_TRUE(window->seDiv->isEnabled());
    EXPECT_TRUE(window->GroupBox1->isEnabled());
}

// Leaving the page turns the limit text into SizeLimit. A typed limit other than 0 joins the
// history on top once (letter case ignored), the field keeping its text; an automatic limit,
// and a text that gives no limit, never do.
TEST_F(DestOptionsTest, LimitsAndTheirHistory) {
    auto window = startWindow();
    const struct {
        bool automatic;
        const char* text;
        int64_t sizeLimit;
        QStringList history;
    } steps[] = {
        {false, "4.7", 4700000, {"4.7"}},
        {false, "4,7", 4700000, {"4,7", "4.7"}},
        {false, "4.7", 4700000, {"4,7", "4.7"}},
        {false, "abc", 0, {"4,7", "4.7"}},
        {false, "", 0, {"4,7", "4.7"}},
        {false, "1.2.3", 0, {"4,7", "4.7"}},
        {false, "-5", -5000000, {"-5", "4,7", "4.7"}},
        {false, "700 Mb", 700000000, {"700 Mb", "-5", "4,7", "4.7"}},
        {false, "700 MB", 700000000, {"700 Mb", "-5", "4,7", "4.7"}},
        {true, "4700", 4700000000, {"700 Mb", "-5", "4,7", "4.7"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.automatic ? "auto " : "typed ") + step.text);
        window->cbAutoSizeLimit->setChecked(step.automatic);
        window->cbSizeLimit->setEditText(QString::fromUtf8(step.text));
        window->ApplySizeLimit();
        EXPECT_EQ(window->SizeLimit, step.sizeLimit);
        EXPECT_EQ(itemsOf(window->cbSizeLimit), step.history);
        EXPECT_EQ(window->cbSizeLimit->currentText(), QString::fromUtf8(step.text));
    }
}

} // namespace
} // namespace apptest
