// Building the track list from the window: the chosen source and the naming options read
// from the controls into the core's structs, and the preview list ListView1 filled from the
// built list.
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/track_list_model.h"
#include "app/widgets.h"
#include "plan/list_building.h"
#include "platform/shown_paths.h"
#include "store/object_model.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <QCheckBox>
#include <QComboBox>
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
    if (!ListDb) {
        return;
    }
    m_playlistReport = {};
    plan::BuildTrackList(
        *ListDb, sourceFromControls(), SizeLimit, namingOptionsFromControls(),
        [this](const std::string& text) { m_prompts->showMessage(text); }, &m_playlistReport);
}

void TForm1::FillPreviewList() {
    BuildTrackList();
    ShowTrackList();
    CheckDestVolume();
    reportRelocatedLines();
}

// The playlist lines that named another place and were found here by the tail search are
// said once, in one message, so that a person knows which files the list took instead.
void TForm1::reportRelocatedLines() {
    constexpr size_t MostLinesShown = 10;
    constexpr int RelocatedLineRow = 93;
    const std::vector<sources::RelocatedLine>& relocated = m_playlistReport.relocated;
    if (relocated.empty()) {
        return;
    }
    std::string text;
    for (size_t i = 0; i < relocated.size() && i < MostLinesShown; ++i) {
        text +=
            (i == 0 ? "" : "\n") +
            texts::FormatText(RelocatedLineRow, {relocated[i].line, platform::shownPath(relocated[i].found)});
    }
    if (relocated.size() > MostLinesShown) {
        text += "\n... (" + std::to_string(relocated.size() - MostLinesShown) + ")";
    }
    m_prompts->showMessage(text);
}

void TForm1::ShowTrackList() {
    if (!ListDb) {
        return;
    }
    PreviewRows->setRows({});
    const DrawingFreeze freeze(this);
    int list = 0;
    if (ListDb->DSystem.Resolve(store::trackListPath, list) > 0) {
        m_prompts->showMessage(texts::FormatText(texts::InternalErrorRow, {89234}));
    }
    std::vector<PreviewRow> rows;
    rows.reserve(static_cast<size_t>(store::trackCount(*ListDb)));
    store::forEachTrackEntry(*ListDb, [&rows](int, const store::TrackEntry& entry) {
        rows.push_back({entry.Desc, entry.OrigFileName, entry.FileName, {}});
    });
    // The lines that the tail search found elsewhere say so in their rows.
    for (const sources::RelocatedLine& line : m_playlistReport.relocated) {
        if (line.position >= 0 && static_cast<size_t>(line.position) < rows.size()) {
            rows[static_cast<size_t>(line.position)].RelocatedFrom = line.line;
        }
    }
    PreviewRows->setRows(std::move(rows));
}

} // namespace app
