// The window on the screens of today's laptops, scaled as their desktops scale it: 200 % on
// 1920x1080 and 150 % on 1366x768. Each screen runs in a child process of this test program
// (the scale is read once, when the application starts), which opens the real window under
// its own Xvfb, checks that it lies wholly inside the screen's free area with every footer
// button on it, walks the pages and saves a PNG of each, and of the destination page scrolled
// to its conversion group.
#include "window_fixture.h"
#include "xvfb_server.h"

#include "app/widgets.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTest>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace apptest {
namespace {

constexpr const char* ChildScreen = "TW_SCALED_SCREEN"; // "1920x1080", set for the child only

struct ScaledCase {
    const char* screen;
    const char* scale;
    const char* prefix; // of the PNG names
};

// Runs this program again as the child for one screen and scale; its exit code, 0 for passed.
int runChild(const ScaledCase& c) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv(ChildScreen, c.screen, 1);
        ::setenv("QT_SCALE_FACTOR", c.scale, 1);
        ::setenv("TW_SCALED_PREFIX", c.prefix, 1);
        ::execl("/proc/self/exe", "test_window_e2e", "--gtest_filter=ScaledWindowChild.*",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

TEST(ScaledWindow, FitsLaptopScreensAt200And150Percent) {
    if (std::getenv(ChildScreen) != nullptr) {
        GTEST_SKIP() << "the child runs the window itself";
    }
    for (const ScaledCase& c : {ScaledCase{"1920x1080", "2", "200"}, ScaledCase{"1366x768", "1.5", "150"}}) {
        SCOPED_TRACE(c.screen);
        EXPECT_EQ(runChild(c), 0);
    }
}

// The child: only when its parent started it for a screen.
class ScaledWindowChild : public WindowTest {
protected:
    void SetUp() override {
        const char* screen = std::getenv(ChildScreen);
        if (screen == nullptr) {
            GTEST_SKIP() << "run by ScaledWindow.FitsLaptopScreensAt200And150Percent";
        }
        xvfb = std::make_unique<e2e::XvfbServer>(std::string(screen) + "x24");
        WindowTest::SetUp();
    }
    std::unique_ptr<e2e::XvfbServer> xvfb;
};

TEST_F(ScaledWindowChild, WindowAndFooterLieOnTheScreen) {
    auto window = startWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.contains(window->frameGeometry()))
        << "window " << window->frameGeometry().width() << "x" << window->frameGeometry().height() << " on "
        << area.width() << "x" << area.height();
    const std::string prefix = std::getenv("TW_SCALED_PREFIX");
    QDir().mkpath(QStringLiteral(TW_SCREENSHOT_DIR));
    QWidget* const pages[] = {window->TS0, window->TS2, window->TS3, window->TS4, window->TSP, window->TSA};
    const char* const names[] = {"start", "source", "destination", "preview", "progress", "about"};
    for (size_t i = 0; i < std::size(pages); ++i) {
        window->PCL->setCurrentWidget(pages[i]);
        window->UpdateWizardButtons();
        QTest::qWait(60);
        for (QPushButton* button : {window->BPrev, window->BNext, window->Button4}) {
            if (button->isVisible()) {
                const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
                EXPECT_TRUE(area.contains(onScreen))
                    << names[i] << ": " << button->objectName().toStdString();
            }
        }
        // The preview's list gives up height first: what is under it stays in sight unscrolled.
        if (pages[i] == window->TS4) {
            auto* const pageArea = window->findChild<QScrollArea*>(QStringLiteral("PageArea"));
            ASSERT_NE(pageArea, nullptr);
            for (QWidget* below :
                 {static_cast<QWidget*>(window->LabelTotals), static_cast<QWidget*>(window->Button2),
                  static_cast<QWidget*>(window->Label8)}) {
                const QRect shown(below->mapTo(pageArea->viewport(), QPoint(0, 0)), below->size());
                EXPECT_TRUE(pageArea->viewport()->rect().contains(shown))
                    << below->objectName().toStdString() << " at " << shown.y() << "+" << shown.height()
                    << " in " << pageArea->viewport()->height();
            }
        }
        const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(window->winId());
        const QString path = QStringLiteral(TW_SCREENSHOT_DIR "/") + QString::fromStdString(prefix) + "-" +
                             QString::fromLatin1(names[i]) + ".png";
        EXPECT_TRUE(shot.save(path)) << path.toStdString();
    }

    // The conversion group at the foot of the destination page: scrolled to, it shows whole.
    window->PCL->setCurrentWidget(window->TS3);
    window->UpdateWizardButtons();
    auto* const pageArea = window->findChild<QScrollArea*>(QStringLiteral("PageArea"));
    ASSERT_NE(pageArea, nullptr);
    QTest::qWait(60); // the page area takes the page's size once its layout has run
    pageArea->ensureWidgetVisible(window->GroupConvert);
    QTest::qWait(60);
    const QRect group(window->GroupConvert->mapTo(pageArea->viewport(), QPoint(0, 0)),
                      window->GroupConvert->size());
    EXPECT_TRUE(pageArea->viewport()->rect().contains(group))
        << "group at " << group.x() << "," << group.y() << " " << group.width() << "x" << group.height()
        << " in " << pageArea->viewport()->width() << "x" << pageArea->viewport()->height();
    const QString path = QStringLiteral(TW_SCREENSHOT_DIR "/") + QString::fromStdString(prefix) +
                         "-destination-conversion.png";
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(window->winId()).save(path))
        << path.toStdString();
}

} // namespace
} // namespace apptest
