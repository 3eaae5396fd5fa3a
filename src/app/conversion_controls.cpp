// The destination page's conversion group: the format and its quality, which files, the device
// that decides it, and how many conversions run at once. The window reads the group into a
// convert::ConversionChoice for the naming rules and the copy run, keeps it in the settings,
// and refuses to leave the page while the device's own list of formats cannot be read.
#include "app/controls.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/settings.h"
#include "convert/device_formats.h"
#include "texts/text_table.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QThread>

#include <algorithm>
#include <array>

namespace app {

namespace {

constexpr int GroupTitleRow = 380;
constexpr int ConvertLabelRow = 381;
constexpr int NoConversionRow = 382;
constexpr int QualityLabelRow = 383;
constexpr int Mp3VariableRow = 384;
constexpr int Mp3ConstantRow = 385;
constexpr int VorbisQualityRow = 386;
constexpr int OpusBitrateRow = 387;
constexpr int WhichLabelRow = 388;
constexpr int WhichItemsRow = 389;
constexpr int DeviceLabelRow = 390;
constexpr int DeviceItemsRow = 391;
constexpr int JobsLabelRow = 392;
constexpr int JobsHintRow = 393;
constexpr int FormatsPlaceholderRow = 394;
constexpr int FormatsHintRow = 395;
constexpr int BadFormatsRow = 396;
constexpr int NoFormatsRow = 397;

// The items of cbConvert after "нет", in this order.
constexpr std::array Targets{convert::ConvertTarget::Mp3, convert::ConvertTarget::Vorbis,
                             convert::ConvertTarget::Opus};
// cbConvertDevice: the two devices the program knows, then the person's own list.
constexpr int OwnFormatsDevice = 2;

// The qualities cbConvertQuality offers for a target, best first for MP3's levels, as the
// encoders number them otherwise.
std::vector<convert::ConvertFormat> qualityChoices(convert::ConvertTarget target) {
    using convert::BitrateMode;
    using convert::ConvertFormat;
    std::vector<ConvertFormat> choices;
    switch (target) {
    case convert::ConvertTarget::Mp3:
        for (int level = 0; level <= 9; ++level) {
            choices.push_back({.target = target, .mode = BitrateMode::Variable, .quality = level});
        }
        for (int kbps : {128, 160, 192, 224, 256, 320}) {
            choices.push_back({.target = target, .mode = BitrateMode::Constant, .quality = kbps});
        }
        break;
    case convert::ConvertTarget::Vorbis:
        for (int level = 0; level <= 10; ++level) {
            choices.push_back({.target = target, .quality = level});
        }
        break;
    case convert::ConvertTarget::Opus:
        for (int kbps : {64, 96, 128, 160, 192, 256}) {
            choices.push_back({.target = target, .quality = kbps});
        }
        break;
    }
    return choices;
}

QString qualityText(const convert::ConvertFormat& format) {
    int row = OpusBitrateRow;
    if (format.target == convert::ConvertTarget::Mp3) {
        row = format.mode == convert::BitrateMode::Variable ? Mp3VariableRow : Mp3ConstantRow;
    } else if (format.target == convert::ConvertTarget::Vorbis) {
        row = VorbisQualityRow;
    }
    return toQt(texts::FormatText(row, {int32_t{format.quality}}));
}

// An item's data is the format's own spelling ("mp3:v2"), read back with parseConvertFormat.
QString formatData(const convert::ConvertFormat& format) {
    return toQt(convert::formatText(format));
}

int allCores() {
    return std::max(1, QThread::idealThreadCount());
}

// Replaces the items of a fixed list, keeping the chosen index where the new list has it.
void replaceItems(QComboBox* combo, const QStringList& items, int fallback) {
    const QSignalBlocker quiet(combo);
    const int chosen = combo->currentIndex();
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(chosen >= 0 && chosen < combo->count() ? chosen : fallback);
}

} // namespace

QGroupBox* TForm1::buildConversionGroup(QWidget* page) {
    GroupConvert = new QGroupBox(page);
    GroupConvert->setObjectName(QStringLiteral("GroupConvert"));
    LabelConvert = makeLabel(GroupConvert, "LabelConvert");
    cbConvert = makeComboBox(GroupConvert, "cbConvert", false);
    LabelConvertQuality = makeLabel(GroupConvert, "LabelConvertQuality");
    cbConvertQuality = makeComboBox(GroupConvert, "cbConvertQuality", false);
    LabelConvertWhich = makeLabel(GroupConvert, "LabelConvertWhich");
    cbConvertWhich = makeComboBox(GroupConvert, "cbConvertWhich", false);
    LabelConvertJobs = makeLabel(GroupConvert, "LabelConvertJobs");
    seConvertJobs = new QSpinBox(GroupConvert);
    seConvertJobs->setObjectName(QStringLiteral("seConvertJobs"));
    seConvertJobs->setRange(1, allCores());
    seConvertJobs->setValue(allCores());
    LabelConvertDevice = makeLabel(GroupConvert, "LabelConvertDevice");
    cbConvertDevice = makeComboBox(GroupConvert, "cbConvertDevice", false);
    edConvertFormats = new QLineEdit(GroupConvert);
    edConvertFormats->setObjectName(QStringLiteral("edConvertFormats"));
    LabelConvertProblem = makeLabel(GroupConvert, "LabelConvertProblem", LabelStyle::Wrapped);
    LabelConvertProblem->setStyleSheet(QStringLiteral("color: #c00000;"));
    LabelConvertProblem->setVisible(false);

    // Two label-and-control pairs a row; the long lists (which files, the device) take the
    // first pair's column whole, so the group stays three rows high. The own formats' field
    // takes what room is left.
    auto* grid = new QGridLayout(GroupConvert);
    grid->setColumnStretch(4, 1);
    grid->addWidget(LabelConvert, 0, 0);
    grid->addWidget(cbConvert, 0, 1);
    grid->addWidget(LabelConvertQuality, 0, 2);
    grid->addWidget(cbConvertQuality, 0, 3);
    grid->addWidget(LabelConvertWhich, 1, 0);
    grid->addWidget(cbConvertWhich, 1, 1);
    grid->addWidget(LabelConvertJobs, 1, 2);
    grid->addWidget(seConvertJobs, 1, 3);
    grid->addWidget(LabelConvertDevice, 2, 0);
    grid->addWidget(cbConvertDevice, 2, 1);
    grid->addWidget(edConvertFormats, 2, 2, 1, 3);
    grid->addWidget(LabelConvertProblem, 3, 0, 1, 5);
    return GroupConvert;
}

void TForm1::applyConversionTexts() {
    GroupConvert->setTitle(toQt(texts::GetText(GroupTitleRow)));
    LabelConvert->setText(toQt(texts::GetText(ConvertLabelRow)));
    LabelConvertQuality->setText(toQt(texts::GetText(QualityLabelRow)));
    LabelConvertWhich->setText(toQt(texts::GetText(WhichLabelRow)));
    LabelConvertDevice->setText(toQt(texts::GetText(DeviceLabelRow)));
    LabelConvertJobs->setText(toQt(texts::GetText(JobsLabelRow)));
    seConvertJobs->setToolTip(toQt(texts::FormatText(JobsHintRow, {int32_t{allCores()}})));
    edConvertFormats->setPlaceholderText(toQt(texts::GetText(FormatsPlaceholderRow)));

    QStringList formats{toQt(texts::GetText(NoConversionRow))};
    for (convert::ConvertTarget target : Targets) {
        formats << toQt(convert::targetName(target));
    }
    replaceItems(cbConvert, formats, 0);
    replaceItems(cbConvertWhich, linesOf(texts::GetText(WhichItemsRow)), 0);
    replaceItems(cbConvertDevice, linesOf(texts::GetText(DeviceItemsRow)), 0);
    showConversionQualities(selectedConversionFormat());
    refreshConversionOptions();
}

std::optional<convert::ConvertTarget> TForm1::selectedConversionTarget() const {
    const int index = cbConvert->currentIndex();
    if (index < 1 || index > static_cast<int>(Targets.size())) {
        return std::nullopt;
    }
    return Targets[static_cast<size_t>(index - 1)];
}

// The format that cbConvertQuality shows, or the default of the chosen target (MP3 while none
// is chosen) when it shows nothing of that target.
convert::ConvertFormat TForm1::selectedConversionFormat() const {
    const convert::ConvertTarget target = selectedConversionTarget().value_or(convert::ConvertTarget::Mp3);
    const std::optional<convert::ConvertFormat> shown =
        convert::parseConvertFormat(fromQt(cbConvertQuality->currentData().toString()));
    return shown && shown->target == target ? *shown : convert::defaultFormat(target);
}

// The qualities of `format`'s target, `format` chosen; a quality the list does not offer
// chooses the target's default.
void TForm1::showConversionQualities(const convert::ConvertFormat& format) {
    const QSignalBlocker quiet(cbConvertQuality);
    cbConvertQuality->clear();
    for (const convert::ConvertFormat& choice : qualityChoices(format.target)) {
        cbConvertQuality->addItem(qualityText(choice), formatData(choice));
    }
    int index = cbConvertQuality->findData(formatData(format));
    if (index < 0) {
        index = cbConvertQuality->findData(formatData(convert::defaultFormat(format.target)));
    }
    cbConvertQuality->setCurrentIndex(index);
}

// A new format shows its own qualities at its default; "нет" leaves the last list in place.
void TForm1::cbConvertChange() {
    if (const std::optional<convert::ConvertTarget> target = selectedConversionTarget()) {
        const std::optional<convert::ConvertFormat> shown =
            convert::parseConvertFormat(fromQt(cbConvertQuality->currentData().toString()));
        if (!shown || shown->target != *target) {
            showConversionQualities(convert::defaultFormat(*target));
        }
    }
    refreshConversionOptions();
}

bool TForm1::ownDeviceFormatsInUse() const {
    return selectedConversionTarget() && cbConvertWhich->currentIndex() == 1 &&
           cbConvertDevice->currentIndex() == OwnFormatsDevice;
}

void TForm1::refreshConversionOptions() {
    const bool converts = selectedConversionTarget().has_value();
    const bool byDevice = converts && cbConvertWhich->currentIndex() == 1;
    for (QWidget* control :
         std::initializer_list<QWidget*>{LabelConvertQuality, cbConvertQuality, LabelConvertWhich,
                                         cbConvertWhich, LabelConvertJobs, seConvertJobs}) {
        control->setEnabled(converts);
    }
    LabelConvertDevice->setEnabled(byDevice);
    cbConvertDevice->setEnabled(byDevice);
    edConvertFormats->setEnabled(ownDeviceFormatsInUse());
    // A list that cannot be read is marked where it is typed and said under it, with the way
    // to write it; Next keeps the page until it is mended.
    const std::string problem = deviceFormatsProblem();
    edConvertFormats->setStyleSheet(
        problem.empty() ? QString() : QStringLiteral("QLineEdit { border: 2px solid #c00000; }"));
    edConvertFormats->setToolTip(toQt(problem.empty() ? texts::GetText(FormatsHintRow) : problem));
    LabelConvertProblem->setText(toQt(problem));
    LabelConvertProblem->setVisible(!problem.empty());
}

std::string TForm1::deviceFormatsProblem() const {
    if (!ownDeviceFormatsInUse()) {
        return {};
    }
    const std::string typed = fromQt(edConvertFormats->text());
    const std::optional<std::vector<std::string>> list = convert::parseExtensionList(typed);
    if (!list) {
        return texts::formatTextOnce(BadFormatsRow, {typed});
    }
    if (list->empty()) {
        return texts::GetText(NoFormatsRow);
    }
    return {};
}

// Leaving the destination page with an own list of formats that cannot be read: the message,
// and the field focused with its text selected to be mended.
bool TForm1::acceptDeviceFormats() {
    const std::string problem = deviceFormatsProblem();
    if (problem.empty()) {
        return true;
    }
    m_prompts->showMessage(problem);
    edConvertFormats->setFocus(Qt::OtherFocusReason);
    edConvertFormats->selectAll();
    return false;
}

convert::ConversionChoice TForm1::conversionChoiceFromControls() const {
    convert::ConversionChoice choice;
    if (!selectedConversionTarget()) {
        return choice;
    }
    choice.format = selectedConversionFormat();
    choice.jobs = static_cast<unsigned>(seConvertJobs->value());
    if (cbConvertWhich->currentIndex() != 1) {
        return choice;
    }
    choice.which = convert::ConvertWhich::Unplayable;
    switch (cbConvertDevice->currentIndex()) {
    case 0:
        choice.played = convert::playedExtensions(convert::DeviceProfile::CarStereo);
        break;
    case 1:
        choice.played = convert::playedExtensions(convert::DeviceProfile::Phone);
        break;
    default:
        // A list that cannot be read names nothing the device plays, so every sound file is
        // converted: it costs time, never a file the device skips. Next refuses such a list.
        choice.played = convert::parseExtensionList(fromQt(edConvertFormats->text()))
                            .value_or(std::vector<std::string>{});
        break;
    }
    return choice;
}

void TForm1::conversionSettingsFromControls(SettingsValues& values) const {
    values.Convert = selectedConversionTarget() ? convert::formatText(selectedConversionFormat()) : "";
    values.ConvertWhich = cbConvertWhich->currentIndex();
    values.ConvertDevice = cbConvertDevice->currentIndex();
    values.ConvertFormats = fromQt(edConvertFormats->text());
    // As many as the processor has cores is kept as "all of them", so that it follows the
    // machine the settings move to.
    values.ConvertJobs = seConvertJobs->value() == allCores() ? 0 : seConvertJobs->value();
}

// A value that is missing, cannot be read or names no item takes its default: no conversion,
// all files, the car stereo, all cores.
void TForm1::applyConversionSettings(const SettingsValues& values) {
    const std::optional<convert::ConvertFormat> format = convert::parseConvertFormat(values.Convert);
    {
        const QSignalBlocker quiet(cbConvert);
        int index = 0;
        if (format) {
            index = 1 + static_cast<int>(std::find(Targets.begin(), Targets.end(), format->target) -
                                         Targets.begin());
        }
        cbConvert->setCurrentIndex(index);
        showConversionQualities(format.value_or(convert::defaultFormat(convert::ConvertTarget::Mp3)));
    }
    const auto pick = [](QComboBox* combo, int32_t stored) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(stored >= 0 && stored < combo->count() ? stored : 0);
    };
    pick(cbConvertWhich, values.ConvertWhich);
    pick(cbConvertDevice, values.ConvertDevice);
    {
        const QSignalBlocker quiet(edConvertFormats);
        edConvertFormats->setText(toQt(values.ConvertFormats));
    }
    seConvertJobs->setValue(values.ConvertJobs >= 1 ? values.ConvertJobs : allCores());
    refreshConversionOptions();
}

void TForm1::connectConversionHandlers() {
    connectHandler(cbConvert, &QComboBox::currentIndexChanged, &TForm1::cbConvertChange);
    connectHandler(cbConvertWhich, &QComboBox::currentIndexChanged, &TForm1::refreshConversionOptions);
    connectHandler(cbConvertDevice, &QComboBox::currentIndexChanged, &TForm1::refreshConversionOptions);
    connectHandler(edConvertFormats, &QLineEdit::textChanged, &TForm1::refreshConversionOptions);
}

} // namespace app
