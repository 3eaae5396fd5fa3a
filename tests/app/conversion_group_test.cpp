// The destination page's conversion group as the controls show it: the qualities each format
// offers, which controls a choice enables, the choice the naming and copy options receive, and
// an own list of formats that cannot be read.
#include "window_fixture.h"

#include "app/widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <QThread>

namespace apptest {
namespace {

using convert::BitrateMode;
using convert::ConversionChoice;
using convert::ConvertFormat;
using convert::ConvertTarget;
using convert::ConvertWhich;

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return items;
}

// A text as a label shows it: the table's line ends become Qt's.
std::string shown(std::string text) {
    std::erase(text, '\r');
    return text;
}

int cores() {
    return std::max(1, QThread::idealThreadCount());
}

// Each format offers its own qualities and starts at its default; "нет" is the start.
TEST_F(WindowTest, QualityListFollowsTheFormat) {
    auto window = startWindow();
    EXPECT_EQ(itemsOf(window->cbConvert), QStringList({"нет", "MP3", "Ogg Vorbis", "Opus"}));
    EXPECT_EQ(window->cbConvert->currentText(), QStringLiteral("нет"));
    EXPECT_EQ(itemsOf(window->cbConvertWhich), QStringList({"всё", "только то, что устройство не играет"}));
    EXPECT_EQ(itemsOf(window->cbConvertDevice),
              QStringList({"Автомагнитола: MP3", "Телефон: MP3, AAC/M4A, Ogg, Opus, FLAC", "Свои форматы"}));
    EXPECT_EQ(window->seConvertJobs->minimum(), 1);
    EXPECT_EQ(window->seConvertJobs->maximum(), cores());
    EXPECT_EQ(window->seConvertJobs->value(), cores());

    const struct {
        int format;
        QStringList items;
        const char* chosen;
    } formats[] = {
        {1,
         {"VBR V0", "VBR V1", "VBR V2", "VBR V3", "VBR V4", "VBR V5", "VBR V6", "VBR V7", "VBR V8", "VBR V9",
          "CBR 128 кбит/с", "CBR 160 кбит/с", "CBR 192 кбит/с", "CBR 224 кбит/с", "CBR 256 кбит/с",
          "CBR 320 кбит/с"},
         "VBR V2"},
        {2, {"q0", "q1", "q2", "q3", "q4", "q5", "q6", "q7", "q8", "q9", "q10"}, "q5"},
        {3, {"64 кбит/с", "96 кбит/с", "128 кбит/с", "160 кбит/с", "192 кбит/с", "256 кбит/с"}, "128 кбит/с"},
    };
    for (const auto& f : formats) {
        SCOPED_TRACE(f.format);
        window->cbConvert->setCurrentIndex(f.format);
        EXPECT_EQ(itemsOf(window->cbConvertQuality), f.items);
        EXPECT_EQ(window->cbConvertQuality->currentText(), QString::fromUtf8(f.chosen));
    }
    // A quality chosen stays through "нет" and back to the same format.
    window->cbConvertQuality->setCurrentIndex(4);
    window->cbConvert->setCurrentIndex(0);
    window->cbConvert->setCurrentIndex(3);
    EXPECT_EQ(window->cbConvertQuality->currentText(), QStringLiteral("192 кбит/с"));
}

// The controls a choice leaves to decide are enabled, the others not.
TEST_F(WindowTest, ConversionControlsFollowTheChoice) {
    const struct {
        int format, which, device;
        bool restOn, deviceOn, listOn;
    } cases[] = {
        {0, 1, 2, false, false, false}, // "нет": nothing else
        {1, 0, 2, true, false, false},  // all files: no device
        {2, 1, 0, true, true, false},   // by device: its list
        {3, 1, 2, true, true, true},    // own formats: the field
    };
    auto window = startWindow();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.format) + "/" + std::to_string(c.which) + "/" +
                     std::to_string(c.device));
        window->cbConvert->setCurrentIndex(c.format);
        window->cbConvertWhich->setCurrentIndex(c.which);
        window->cbConvertDevice->setCurrentIndex(c.device);
        for (QWidget* control : std::initializer_list<QWidget*>{
                 window->cbConvertQuality, window->cbConvertWhich, window->seConvertJobs}) {
            EXPECT_EQ(control->isEnabled(), c.restOn) << control->objectName().toStdString();
        }
        EXPECT_EQ(window->cbConvertDevice->isEnabled(), c.deviceOn);
        EXPECT_EQ(window->edConvertFormats->isEnabled(), c.listOn);
        EXPECT_TRUE(window->cbConvert->isEnabled());
    }
}

// The choice the controls make, as the naming rules and the copy run both receive it.
TEST_F(WindowTest, ControlsMakeTheConversionChoice) {
    const struct {
        const char* name;
        int format, quality, which, device;
        const char* list;
        int jobs;
        ConversionChoice expected;
    } cases[] = {
        {"none", 0, 0, 1, 1, "", 1, {}},
        {"mp3 V0, all files", 1, 0, 0, 1, "", 1, {.format = ConvertFormat{.quality = 0}, .jobs = 1}},
        {"mp3 CBR 320 for the car",
         1,
         15,
         1,
         0,
         "",
         1,
         {.format = ConvertFormat{.mode = BitrateMode::Constant, .quality = 320},
          .which = ConvertWhich::Unplayable,
          .played = {"mp3"},
          .jobs = 1}},
        {"ogg q7 for the phone",
         2,
         7,
         1,
         1,
         "",
         1,
         {.format = ConvertFormat{.target = ConvertTarget::Vorbis, .quality = 7},
          .which = ConvertWhich::Unplayable,
          .played = {"mp3", "m4a", "aac", "ogg", "opus", "flac"},
          .jobs = 1}},
        {"opus 96, own formats",
         3,
         1,
         1,
         2,
         " MP3; .flac,mp3",
         1,
         {.format = ConvertFormat{.target = ConvertTarget::Opus, .quality = 96},
          .which = ConvertWhich::Unplayable,
          .played = {"mp3", "flac"},
          .jobs = 1}},
        {"own formats not used for all files",
         1,
         2,
         0,
         2,
         "mp3",
         1,
         {.format = ConvertFormat{.quality = 2}, .jobs = 1}},
    };
    auto window = startWindow();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window->cbConvert->setCurrentIndex(c.format);
        window->cbConvertQuality->setCurrentIndex(c.quality);
        window->cbConvertWhich->setCurrentIndex(c.which);
        window->cbConvertDevice->setCurrentIndex(c.device);
        window->edConvertFormats->setText(QString::fromUtf8(c.list));
        window->seConvertJobs->setValue(c.jobs);
        EXPECT_EQ(window->conversionChoiceFromControls(), c.expected);
        EXPECT_EQ(window->namingOptionsFromControls().conversion, c.expected);
        EXPECT_EQ(window->copyOptionsFromControls().Conversion, c.expected);
    }
    // The workers as chosen, up to every core.
    window->cbConvert->setCurrentIndex(1);
    window->seConvertJobs->setValue(cores());
    EXPECT_EQ(window->conversionChoiceFromControls().jobs, static_cast<unsigned>(cores()));
}

// An own list of formats that cannot be read is marked and explained on the page, and Next
// keeps the page with the message and the field focused; a mended list lets the person on.
TEST_F(WindowTest, UnreadableOwnFormatsKeepTheDestinationPage) {
    testsupport::TempDrive dest{'D'};
    auto window = startWindow();
    window->SetSourceKind(sources::PickedFilesSource);
    window->PCL->setCurrentWidget(window->TS3);
    window->cbDest->setEditText(QStringLiteral("D:\\out"));
    window->cbConvert->setCurrentIndex(1);
    window->cbConvertWhich->setCurrentIndex(1);
    window->cbConvertDevice->setCurrentIndex(2);

    const struct {
        const char* typed;
        const char* problem;
    } lists[] = {
        {"mp3, m4a/x",
         "Неверный список форматов устройства: \"mp3, m4a/x\".\r\nУкажите расширения файлов через "
         "запятую, например: mp3, m4a, ogg"},
        {" , ", "Список форматов устройства пуст.\r\nУкажите расширения файлов через запятую, например: mp3, "
                "m4a, ogg"},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.typed);
        prompts.messages.clear();
        window->edConvertFormats->setText(QString::fromUtf8(list.typed));
        EXPECT_EQ(window->deviceFormatsProblem(), list.problem);
        EXPECT_FALSE(window->LabelConvertProblem->isHidden());
        EXPECT_EQ(window->LabelConvertProblem->text().toStdString(), shown(list.problem));
        EXPECT_EQ(window->edConvertFormats->toolTip().toStdString(), shown(list.problem));
        EXPECT_FALSE(window->edConvertFormats->styleSheet().isEmpty());
        window->BNextClick();
        EXPECT_EQ(window->PCL->currentWidget(), window->TS3);
        EXPECT_EQ(prompts.messages, std::vector<std::string>{list.problem});
        EXPECT_EQ(window->focusWidget(), window->edConvertFormats);
    }

    // The same text says nothing while the list is not in use.
    window->cbConvertDevice->setCurrentIndex(1);
    EXPECT_TRUE(window->LabelConvertProblem->isHidden());
    EXPECT_TRUE(window->edConvertFormats->styleSheet().isEmpty());
    window->cbConvertDevice->setCurrentIndex(2);
    EXPECT_FALSE(window->LabelConvertProblem->isHidden());

    prompts.messages.clear();
    window->edConvertFormats->setText(QStringLiteral("mp3, ogg"));
    EXPECT_TRUE(window->LabelConvertProblem->isHidden());
    EXPECT_TRUE(window->edConvertFormats->styleSheet().isEmpty());
    window->BNextClick();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(window->PCL->currentWidget(), window->TS4);
}

} // namespace
} // namespace apptest
