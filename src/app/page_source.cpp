// The source page TS2: the source type with its fields and pickers, the copy mode and the
// treatment of existing files.
#include "app/controls.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/widgets.h"
#include "sources/folder_scanner.h"
#include "texts/text_table.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace app {

namespace {

constexpr int DrivesText = 200;
constexpr int DrivesTitleText = 201;

} // namespace

void TForm1::buildSourcePage() {
    Label3 = makeLabel(TS2, "Label3", LabelStyle::Bold);
    RadioButton1 = makeRadioButton(TS2, "RadioButton1");
    RadioButton1->setChecked(true);
    cbSource1 = makeComboBox(TS2, "cbSource1", true);
    BitBtn3 = makeButton(TS2, "BitBtn3");
    RadioButton2 = makeRadioButton(TS2, "RadioButton2");
    cbSource2 = makeComboBox(TS2, "cbSource2", true);
    BitBtn4 = makeButton(TS2, "BitBtn4");
    RadioButton3 = makeRadioButton(TS2, "RadioButton3");
    BitBtn5 = makeButton(TS2, "BitBtn5");
    Label5 = makeLabel(TS2, "Label5", LabelStyle::Bold);
    RadioGroup1 = new RadioGroup(TS2);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    Label29 = makeLabel(TS2, "Label29");
    setTag(Label29, 48);
    cbExistAction = makeComboBox(TS2, "cbExistAction", false);

    // Source type in the first column; its field and picker to the right.
    auto* sources = new QGridLayout;
    sources->setHorizontalSpacing(10);
    sources->setVerticalSpacing(8);
    sources->setColumnStretch(1, 1);
    sources->addWidget(RadioButton1, 0, 0);
    // A playlist from another machine names its drives; "Диски..." beside its field maps them
    // to folders here.
    ButtonDrives = makeButton(TS2, "ButtonDrives");
    ButtonDrives->setText(toQt(texts::GetText(DrivesText)));
    ButtonDrives->setToolTip(toQt(texts::GetText(DrivesTitleText)));
    auto* playlistField = new QHBoxLayout;
    playlistField->addWidget(cbSource1, 1);
    playlistField->addWidget(ButtonDrives);
    sources->addLayout(playlistField, 0, 1);
    sources->addWidget(BitBtn3, 0, 2);
    sources->addWidget(RadioButton2, 1, 0);
    sources->addWidget(cbSource2, 1, 1);
    sources->addWidget(BitBtn4, 1, 2);
    sources->addWidget(RadioButton3, 2, 0);
    LabelPicked = makeLabel(TS2, "LabelPicked");
    LabelPicked->setTextInteractionFlags(Qt::NoTextInteraction);
    sources->addWidget(LabelPicked, 2, 1);
    sources->addWidget(BitBtn5, 2, 2);

    auto* existing = new QGridLayout;
    existing->setColumnStretch(1, 1);
    existing->addWidget(Label29, 0, 0);
    existing->addWidget(cbExistAction, 1, 0);

    auto* layout = new QVBoxLayout(TS2);
    layout->setContentsMargins(24, 16, 24, 12);
    layout->setSpacing(8);
    layout->addWidget(Label3);
    layout->addLayout(sources);
    layout->addSpacing(12);
    layout->addWidget(Label5);
    layout->addWidget(RadioGroup1);
    layout->addSpacing(8);
    layout->addLayout(existing);
    layout->addStretch(1);

    // Tab follows the page as it reads: each source with its field and picker, then the mode.
    QWidget* const order[] = {RadioButton1, cbSource1,    ButtonDrives, BitBtn3,     RadioButton2, cbSource2,
                              BitBtn4,      RadioButton3, BitBtn5,      RadioGroup1, cbExistAction};
    for (size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }

    OpenDialog1.filters = {{"WinAmp playlists (*.m3u *.m3u8)", {"*.m3u", "*.m3u8"}},
                           {"All files (*.*)", {"*.*"}}};
    OpenDialog1.defaultSuffix = "m3u";
    // The design's own patterns, then every extension the folder source takes (WAV and Ogg
    // among them), so a file the folder source would list can be picked too.
    std::vector<std::string> mediaPatterns = {"*.mp*", "*.wmp", "*.avi",  "*.dat", "*.divx", "*.flac",
                                              "*.m4a", "*.aac", "*.opus", "*.oga", "*.ape",  "*.wv"};
    for (std::string_view extension : sources::AudioExtensions) {
        const std::string pattern = "*" + std::string(extension);
        if (std::find(mediaPatterns.begin(), mediaPatterns.end(), pattern) == mediaPatterns.end()) {
            mediaPatterns.push_back(pattern);
        }
    }
    OpenDialog2.filters = {{"Media files", mediaPatterns}, {"All files (*.*)", {"*.*"}}};
}

} // namespace app
