// The copy run from the window: the options read from the controls, the run over ListDb shown
// on the progress page, and the skip button.
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/widgets.h"

#include "platform/shown_paths.h"
#include "store/object_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

namespace app {

copy::CopyOptions TForm1::copyOptionsFromControls() const {
    copy::CopyOptions options;
    options.TransferMode = copy::transferModeFromIndex(RadioGroup1->itemIndex());
    options.ExistAction = copy::existActionFromIndex(cbExistAction->currentIndex());
    options.CreateList = chCreateList->isChecked();
    options.PlaylistPaths =
        chAbsoluteList->isChecked() ? copy::PlaylistPaths::Absolute : copy::PlaylistPaths::Relative;
    options.DestFolder = platform::programPathOfShown(fromQt(cbDest->currentText()));
    // The run writes where the preview showed: the folder and volume it resolved for the list.
    if (m_preview && m_preview->dest().typed == options.DestFolder) {
        options.Dest = m_preview->dest();
    }
    // Names that the destination volume refuses are cleaned as invalid names are (cb5).
    options.InvalidChars = namingOptionsFromControls().invalidChars;
    options.Verify = chVerify->isChecked();
    options.FlushAlways = chFlush->isChecked();
    // Converted entries are named for their new format in the list; the run converts the same
    // entries, with the workers chosen. A missing encoder is the run's to report.
    options.Conversion = conversionChoiceFromControls();
    return options;
}

void TForm1::CopyRun() {
    if (!ListDb) {
        return;
    }
    // Skip means something only while a run works; a close asked for during the run happens
    // once it has ended, however it ended.
    Button5->setEnabled(true);
    struct RunEnd {
        TForm1& window;
        ~RunEnd() {
            window.Button5->setEnabled(false);
            if (window.m_closeAfterRun) {
                QTimer::singleShot(0, &window, &QWidget::close);
            }
        }
    } runEnd{*this};
    copy::CopyRun(copyOptionsFromControls(), *ListDb, Run, *m_progressDisplay);
}

void TForm1::Button5Click() {
    copy::Button5Click(Run);
}

} // namespace app
