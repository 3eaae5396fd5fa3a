// What the destination volume will refuse, shown on the preview before anything is copied: the
// facts of the volume under cbDest (platform::volumeFactsOf), the list checked against them
// (plan::CheckListForVolume), the rows marked with their reasons and one line under the list.
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/track_list_model.h"
#include "store/track_list.h"

#include <QLabel>

#include <algorithm>

namespace app {

void TForm1::CheckDestVolume() {
    forgetVolumeCheck();
    if (!ListDb) {
        return;
    }
    const plan::NamingOptions naming = namingOptionsFromControls();
    const std::string destFolder = plan::FullDestFolder(naming.destFolder);
    m_destVolume = platform::volumeFactsOf(destFolder);
    if (m_destVolume) {
        m_volumeProblems = plan::CheckListForVolume(*ListDb, *m_destVolume, destFolder, naming.invalidChars);
    }
    showVolumeProblems();
}

void TForm1::forgetVolumeCheck() {
    m_destVolume.reset();
    m_volumeProblems.clear();
    LabelVolumeCheck->clear();
    LabelVolumeCheck->setVisible(false);
}

// The problems come in list order, so the reasons of one entry join up as they arrive.
void TForm1::showVolumeProblems() {
    std::vector<std::pair<int, std::string>> marks;
    for (const plan::VolumeProblem& problem : m_volumeProblems) {
        if (!marks.empty() && marks.back().first == problem.position) {
            marks.back().second += "\n" + problem.text;
        } else {
            marks.emplace_back(problem.position, problem.text);
        }
    }
    PreviewRows->markVolumeProblems(marks);
    const std::string line = m_destVolume && ListDb ? plan::VolumeCheckLine(*m_destVolume, m_volumeProblems,
                                                                            store::trackCount(*ListDb))
                                                    : std::string();
    LabelVolumeCheck->setText(toQt(line));
    LabelVolumeCheck->setVisible(!line.empty());
}

// Removing entries gives none a new problem: a size and a refused name belong to their entry,
// and a clash needs two names. It can end a clash, so the check runs again when there was one
// (sizes that the list does not know are then measured again); otherwise the problems of the
// rows that stay move up with them and nothing is asked of the disk.
void TForm1::keepVolumeProblemsAfterRemoval(const std::vector<int>& removed) {
    if (!m_destVolume) {
        return;
    }
    const bool clashed =
        std::any_of(m_volumeProblems.begin(), m_volumeProblems.end(),
                    [](const auto& problem) { return problem.kind == plan::VolumeProblemKind::CaseClash; });
    if (clashed) {
        CheckDestVolume();
        return;
    }
    std::vector<plan::VolumeProblem> kept;
    for (plan::VolumeProblem& problem : m_volumeProblems) {
        const auto above = std::lower_bound(removed.begin(), removed.end(), problem.position);
        if (above != removed.end() && *above == problem.position) {
            continue;
        }
        problem.position -= static_cast<int>(above - removed.begin());
        kept.push_back(std::move(problem));
    }
    m_volumeProblems = std::move(kept);
    showVolumeProblems();
}

} // namespace app
