// The shell's small pieces: where the settings live, the footer buttons
// per page and run state, and the choice of the source type.
#include "window_fixture.h"

#include "app/settings_location.h"
#include "app/widgets.h"

#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace apptest {
namespace {

// Beside the program when its folder can be written, else the user's configuration folder.
TEST(SettingsLocation, BesideTheProgramOrInTheConfigurationFolder) {
    const struct {
        bool writable;
        const char* configHome;
        const char* expected;
    } cases[] = {
        {true, "/home/ann/.cfg", "/opt/tw/bin"},
        {false, "/home/ann/.cfg", "/home/ann/.cfg/tunewagon"},
        {false, "", "/home/ann/.config/tunewagon"},
        {false, "relative/cfg", "/home/ann/.config/tunewagon"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::settingsHostFolder("/opt/tw/bin", c.writable, c.configHome, "/home/ann"), c.expected)
            << c.writable << " " << c.configHome;
    }
}

// The footer buttons for each page, and the exit button's caption by the run state.
TEST_F(WindowTest, FooterButtonsFollowThePageAndTheRun) {
    auto window = startWindow();
    window->show();
    const struct {
        QWidget* page;
        bool workActive;
        bool prevShown, prevEnabled, nextShown;
        const char* exitCaption;
    } cases[] = {
        {window->TS0, false, false, true, true, "Выход"}, {window->TS2, false, true, true, true, "Выход"},
        {window->TS4, false, true, true, true, "Выход"},  {window->TSP, true, true, false, false, "Прервать"},
        {window->TSP, false, true, true, false, "Выход"}, {window->TSA, false, true, true, false, "Выход"},
        {window->TS4P, false, true, true, true, "Выход"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page->objectName().toStdString() + (c.workActive ? " running" : ""));
        // Start from the opposite state, so every property is really set.
        window->BPrev->setVisible(!c.prevShown);
        window->BPrev->setEnabled(!c.prevEnabled);
        window->BNext->setVisible(!c.nextShown);
        window->BNext->setEnabled(false);
        window->PCL->setCurrentWidget(c.page);
        window->Shell.WorkActive = c.workActive;
        window->UpdateWizardButtons();
        EXPECT_EQ(!window->BPrev->isHidden(), c.prevShown);
        EXPECT_EQ(window->BPrev->isEnabled(), c.prevEnabled);
        EXPECT_EQ(!window->BNext->isHidden(), c.nextShown);
        EXPECT_TRUE(window->BNext->isEnabled());
        EXPECT_EQ(window->Button4->text(), QString::fromUtf8(c.exitCaption));
    }
}

// The kind becomes SourceKind and ticks its radio button; another kind ticks nothing new.
TEST_F(WindowTest, SetSourceKindTicksTheMatchingButton) {
    auto window = startWindow();
    const QRadioButton* buttons[] = {window->RadioButton1, window->RadioButton2, window->RadioButton3};
    const struct {
        int32_t kind;
        int ticked;
    } steps[] = {{3, 3}, {2, 2}, {7, 2}, {0, 2}, {1, 1}};
    for (const auto& step : steps) {
        window->SetSourceKind(step.kind);
        EXPECT_EQ(window->Shell.SourceKind, step.kind);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(buttons[i]->isChecked(), i + 1 == step.ticked) << step.kind << " button " << i + 1;
        }
    }
}

} // namespace
} // namespace apptest
