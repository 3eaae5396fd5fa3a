// The destination page's dependent controls and the size limit: the window reads its
// controls, the core (plan/size_limit.h) decides, the window shows the result.
#include "app/controls.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "plan/size_limit.h"
#include "platform/shown_paths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSpinBox>

namespace app {

void TForm1::RefreshDestOptions() {
    plan::DestPageControls controls;
    controls.renameFiles = CheckBox1->isChecked();
    controls.autoSizeLimit = cbAutoSizeLimit->isChecked();
    controls.keepFolderLevels = cbDiv->isChecked();
    controls.destFolder = platform::programPathOfShown(fromQt(cbDest->currentText()));
    const plan::DestPageState state = plan::destOptionsFor(controls);
    GroupBox1->setEnabled(state.renameGroupEnabled);
    cbSizeLimit->setEnabled(state.sizeLimitEnabled);
    if (state.sizeLimitText) {
        cbSizeLimit->setEditText(toQt(*state.sizeLimitText));
    }
    seDiv->setEnabled(state.folderLevelsEnabled);
}

void TForm1::ApplySizeLimit() {
    m_flow->applySizeLimit();
}

} // namespace app
