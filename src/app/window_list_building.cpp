// Building the track list from the window: the chosen source, the naming options, the limit
// and the existing-file policy read from the controls into one preview request, and the preview
// list ListView1 shown from the built plan::Preview.
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/track_list_model.h"
#include "app/widgets.h"
#include "copy/existing_file_policy.h"
#include "plan/preview.h"
#include "plan/size_limit.h"
#include "platform/shown_paths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>

namespace app {

plan::NamingOptions TForm1::namingOptionsFromControls() const {
    plan::NamingOptions options;
    options.destFolder = platform::programPathOfShown(fromQt(cbDest->currentText()));
    options.renameFiles = CheckBox1->isChecked();
    options.renameByDescription = cb2->isChecked();
    options.keepNamesStartingWithDigit = cb3->isChecked();
    options.prefixListNumber = cb4->isChecked();
    options.keepFolderLevels = cbDiv->isChecked();
    options.folderLevels = seDiv->value();
    options.invalidChars = static_cast<plan::InvalidCharAction>(cb5->currentIndex());
    options.conversion = conversionChoiceFromControls();
    return options;
}

sources::SourceChoice TForm1::sourceFromControls() const {
    sources::SourceChoice source;
    source.kind = Shell.SourceKind;
    source.playlistPath = platform::programPathOfShown(fromQt(cbSource1->currentText()));
    source.folderPath = platform::programPathOfShown(fromQt(cbSource2->currentText()));
    source.pickedFiles = OpenDialog2Files;
    return source;
}

void TForm1::BuildTrackList() {
    if (!m_preview) {
        return;
    }
    const plan::PreviewRequest request{
        .source = sourceFromControls(),
        .naming = namingOptionsFromControls(),
        .sizeLimit = SizeLimit,
        .limitFromFreeSpace = cbAutoSizeLimit->isChecked(),
        .timeLimit =
            cbAutoSizeLimit->isChecked() ? 0 : plan::timeLimitFromText(fromQt(cbSizeLimit->currentText())),
        .existing =
            static_cast<plan::ExistingFilePolicy>(copy::existActionFromIndex(cbExistAction->currentIndex())),
        .tags = tagOptions()};
    m_preview->build(request, [this](const std::string& text) { m_prompts->showMessage(text); });
    if (m_shuffleSeed) {
        m_preview->shuffle(*m_shuffleSeed);
    }
}

// Tags are read for every build, described by the "DescriptionFormat" setting, and kept in the
// cache beside the settings file.
sources::TagOptions TForm1::tagOptions() const {
    sources::TagOptions options;
    options.readTags = m_readTags;
    options.tagsWin = m_tagsWin;
    options.descriptionFormat = m_descriptionFormat;
    options.cacheFolder = m_settingsPath.substr(0, m_settingsPath.find_last_of('\\'));
    return options;
}

void TForm1::FillPreviewList() {
    // A source that cannot be read leaves the preview empty, and the rows say so too.
    try {
        BuildTrackList();
    } catch (...) {
        showTrackList();
        throw;
    }
    showTrackList();
    // The playlist lines that named another place and were found here by the tail search are
    // said once, in one message, so that a person knows which files the list took instead.
    if (m_preview) {
        const std::string relocated = m_preview->relocatedMessage();
        if (!relocated.empty()) {
            m_prompts->showMessage(relocated);
        }
    }
}

void TForm1::showTrackList() {
    const DrawingFreeze freeze(this);
    PreviewRows->refresh();
    showPreviewLines();
}

// Under the list: what the destination's volume refuses (shown only when it refuses some rows;
// the reasons are in the marked rows' tool tips) and the totals.
void TForm1::showPreviewLines() {
    const std::string volume = m_preview ? m_preview->volumeLine() : std::string();
    LabelVolumeCheck->setText(toQt(volume));
    LabelVolumeCheck->setVisible(!volume.empty());
    const bool any = m_preview && m_preview->rowCount() > 0;
    LabelTotals->setText(any ? toQt(m_preview->totalsLine()) : QString());
    LabelTotals->setVisible(any);
}

} // namespace app
