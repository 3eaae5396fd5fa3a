// The wizard window TForm1: its controls, start-up (FormCreate), the settings it keeps in
// "conf.fdb", the close guard and shutdown (FormClose), and the steps of the wizard that call
// the core: the destination page's options and size limit, building and showing the track
// list, and the copy run on the progress page.
//
// Every control carries its design name as objectName and is a public member under that name,
// so that handlers, tests and the page renderer reach it directly. Creating the window runs
// FormCreate; a close request asks FormCloseQuery and, when allowed, runs FormClose, which
// saves the settings once. Destroying the window without closing it saves nothing.
//
// Handlers read their controls into the core's plain structs, call the core and show what
// comes back. An exception that the core raises ends the handler and is shown in an error
// message box (handler_guard.h); the window stays usable.
#pragma once

#include "app/handler_guard.h"
#include "app/user_prompts.h"
#include "convert/conversion_choice.h"
#include "copy/clock.h"
#include "copy/copy_run.h"
#include "copy/progress_display.h"
#include "copy/run_state.h"
#include "plan/naming.h"
#include "plan/preview.h"
#include "plan/volume_check.h"
#include "platform/volume_facts.h"
#include "sources/source_choice.h"
#include "wizard/page_flow.h"
#include "wizard/preview_player.h"
#include "wizard/shell_state.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QTimer;
class QTreeView;

namespace store {
class TfdbObject;
}

namespace app {

class LinkOpener;
class PlayerControls;
class QtPlayerTimer;
class ProgressPageView;
class RadioGroup;
class Shape;
class StaticText;
class TrackListModel;
class WizardPage;
struct SettingsValues;

struct WindowSetup {
    // Program path of the settings file; "" takes settingsFilePath() (settings_location.h).
    std::string settingsPath;
    // Where messages and dialogs go; null gives Qt message boxes owned by the window. The
    // caller keeps a given object alive for the window's life.
    UserPrompts* prompts = nullptr;
    // Where links and the result playlist are opened; null gives the desktop's handlers.
    // The caller keeps a given object alive for the window's life.
    LinkOpener* links = nullptr;
    // What the preview player plays through; null gives Qt Multimedia. Kept alive by the
    // caller for the window's life.
    wizard::MediaDevice* mediaDevice = nullptr;
};

// The window is the page flow's host (wizard/wizard_host.h): the flow decides, the window
// shows. The handlers under the design's names forward to the flow or to the core.
class TForm1 : public QWidget, private wizard::WizardHost {
    Q_OBJECT
public:
    explicit TForm1(WindowSetup setup = {});
    ~TForm1() override;

    // Whether the window may close now: only while no copy run executes or unwinds.
    bool FormCloseQuery() const;
    // The footer's exit/abort button: aborts a running copy, else closes the window when idle.
    void Button4Click();
    // Selects the source type and ticks its radio button (none for a kind outside 1..3).
    void SetSourceKind(int32_t kind);
    // Visibility, enabling and captions of the footer buttons for the page shown.
    void UpdateWizardButtons();

    // Page flow (window_page_flow.cpp): the footer buttons, the source kind, the pickers.
    void BNextClick();
    void BPrevClick();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void cbSource1Change();
    void cbSource2Change();
    // Pick a playlist, a source folder, media files; Button1Click picks the destination
    // (the button BitBtn2). A cancelled dialog changes nothing, except that the picked files
    // are forgotten as soon as their dialog opens.
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    // The drives of a playlist made on another machine (drive_mapping_dialog.cpp): a dialog
    // that gives each drive letter of the chosen playlist a host folder, kept in "Drives".
    void drivesClick();
    void Button1Click();
    // Starts on the source page with the source that host paths name (window_launch.cpp): one
    // playlist, one folder, or files to pick. Used for the command line and for a drop onto
    // the source page.
    void openWithSource(const std::vector<std::string>& hostPaths);
    // The page shown, as the flow knows it.
    wizard::Page currentPage() const { return m_flow->page(); }

    // Start and About pages (window_links.cpp).
    void StaticText1Click();
    void StaticText2Click();
    void StaticText3Click();
    void StaticText4Click();
    void StaticText6Click();
    void StaticText8Click();
    void Label24Click();
    void TSAShow();

    // Preview totals (window_limit_bar.cpp): the limit bar after every build, when TS4 is
    // shown and after every removal; Button2Click removes the selected rows and their entries.
    // Where the allocation unit of the destination's volume is known, the bar counts every file
    // rounded up to it, whether the limit is the free space or a typed one: both are space on
    // that volume.
    void UpdateLimitBar();
    void TS4Show();
    void Button2Click();

    // Preview player (window_player.cpp), forwarding to Player: an entry selected (its row),
    // Play (Button1 and a double click), Stop, the status refresh, the track bar's change and
    // the seek delay.
    void ListView1SelectItem(int row);
    void ListView1DblClick();
    void Button6Click();
    void Timer1Timer();
    void TBChange();
    void TSmPTimer();
    // Puts every text of the text table on the window (interface_texts.cpp).
    void ApplyInterfaceTexts();
    // Gives each component whose Tag lies in low..high the text of that row, by its class.
    void ApplyTaggedTexts(int low, int high);

    // Destination page: the enabled state of its dependent controls, and the size limit box
    // following the destination's free space while cbAutoSizeLimit is ticked. Runs when TS3
    // is shown, on every change of the text of cbDest and on a click of cbAutoSizeLimit,
    // CheckBox1 or cbDiv.
    void RefreshDestOptions();
    // Leaving the destination page: SizeLimit from the text of cbSizeLimit; a typed limit
    // joins the box's history on top.
    void ApplySizeLimit();

    // The conversion group of the destination page (conversion_controls.cpp). The quality list
    // follows the chosen format; the quality, which files, the device and the workers are
    // enabled only with a format chosen, the device only for "только то, что устройство не
    // играет", the own list of formats only for "Свои форматы". An own list that cannot be read
    // is marked and explained on the page, and Next keeps the page with a message until it is
    // mended (acceptDeviceFormats).
    void cbConvertChange();
    void refreshConversionOptions();
    // What is wrong with the own list of formats while it is in use, "" when nothing is.
    std::string deviceFormatsProblem() const;
    bool acceptDeviceFormats();
    // The group as a choice for the naming options and the copy options: no format for "нет".
    convert::ConversionChoice conversionChoiceFromControls() const;

    // Builds the track list from the chosen source with the naming options of the controls
    // (messages through prompts()). A source that cannot be read raises its error; the list
    // then holds what was read up to that point.
    void BuildTrackList();
    // BuildTrackList, then showTrackList; the playlist lines found elsewhere in one message.
    void FillPreviewList();
    // ListView1 shows the preview as it stands, row i = entry i, with the lines under it: how
    // many rows the destination's volume refuses (LabelVolumeCheck, hidden when none) and the
    // totals (LabelTotals). The window's drawing is frozen so that it repaints once.
    void showTrackList();

    // Arranging the preview (window_arrange.cpp); each can be undone with undoPreviewClick
    // (Ctrl+Z), and the running numbers follow the new order. The selection moves up or down
    // by one (Alt+Up, Alt+Down) or to before a row (a drop); a click on a column's header sorts
    // by it, again the other way; "Перемешать" shuffles with a new seed.
    void moveSelectedRows(int by);
    void moveSelectedRowsBefore(int row);
    void sortPreviewBy(int column);
    void shuffleClick();
    void undoPreviewClick();
    // The preview's context menu on the row at `at` (viewport coordinates): "Открыть папку"
    // opens the folder of the row's source in the desktop's file manager, "Воспроизвести"
    // plays it.
    void showPreviewMenu(const QPoint& at);

    // The copy run over the current list with the options of the controls, shown on the
    // progress page; returns when the run has ended. The page flow shows TSP and sets the
    // footer around it.
    void CopyRun();
    // "Пропустить этот файл": the transfer under way stops at its next progress point.
    void Button5Click();

    // The chosen source, the naming and the copy options as the controls show them now.
    sources::SourceChoice sourceFromControls() const;
    plan::NamingOptions namingOptionsFromControls() const;
    copy::CopyOptions copyOptionsFromControls() const;

    // Connects `signal` of `sender` to a handler of the window, guarded at its edge
    // (handler_guard.h). The signal's arguments are not passed on.
    template <typename Sender, typename Signal>
    void connectHandler(Sender* sender, Signal signal, void (TForm1::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { runGuarded(*m_prompts, [this, handler] { (this->*handler)(); }); });
    }

    const std::string& settingsPath() const { return m_settingsPath; }
    LinkOpener& links() { return *m_links; }
    UserPrompts& prompts() { return *m_prompts; }
    // True once FormClose has run.
    bool closed() const { return m_closed; }

    wizard::ShellState Shell;
    // The state of the copy run in progress or of the last one; its flags are Shell's.
    copy::RunState Run{Shell};
    // The size limit in bytes, 0 = none; set by ApplySizeLimit.
    int64_t SizeLimit = 0;
    // Both live from FormCreate to FormClose; null outside that span.
    std::unique_ptr<store::TfdbObject> ConfDb;
    std::unique_ptr<store::TfdbObject> ListDb;

    // Header, page control, footer.
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;
    QStackedWidget* PCL = nullptr;
    WizardPage* TS0 = nullptr;
    WizardPage* TS2 = nullptr;
    WizardPage* TS3 = nullptr;
    WizardPage* TS4 = nullptr;
    WizardPage* TSP = nullptr;
    WizardPage* TSF = nullptr;
    WizardPage* TS4P = nullptr;
    WizardPage* TSA = nullptr;
    QFrame* Panel2 = nullptr;
    QPushButton* BPrev = nullptr;
    QPushButton* BNext = nullptr;
    QPushButton* Button4 = nullptr;
    QLabel* Label24 = nullptr;

    // Start page TS0.
    QLabel* Label17 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label2 = nullptr;
    StaticText* StaticText1 = nullptr;
    StaticText* StaticText2 = nullptr;
    StaticText* StaticText3 = nullptr;
    StaticText* StaticText4 = nullptr;
    StaticText* StaticText6 = nullptr;
    StaticText* StaticText8 = nullptr;

    // Source page TS2.
    QLabel* Label3 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QComboBox* cbSource1 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QComboBox* cbSource2 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QLabel* Label5 = nullptr;
    RadioGroup* RadioGroup1 = nullptr;
    QLabel* LabelPicked = nullptr;       // the picked files: how many, their names, all in the tip
    QPushButton* ButtonDrives = nullptr; // the drives of a playlist from another machine
    QLabel* Label29 = nullptr;
    QComboBox* cbExistAction = nullptr;
    // The two file-open dialogs of the source page, and the files picked with the second.
    FileDialogOptions OpenDialog1;
    FileDialogOptions OpenDialog2;
    std::vector<std::string> OpenDialog2Files;

    // Destination page TS3.
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* cbDest = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QGroupBox* RG3 = nullptr;
    QCheckBox* cbDiv = nullptr;
    QLabel* Label30 = nullptr;
    QSpinBox* seDiv = nullptr;
    QCheckBox* chCreateList = nullptr;
    QCheckBox* chAbsoluteList = nullptr; // the result playlist by absolute host paths
    QGroupBox* GroupBox2 = nullptr;
    QComboBox* cbSizeLimit = nullptr;
    QLabel* Label28 = nullptr;
    QCheckBox* cbAutoSizeLimit = nullptr;
    QLabel* Label9 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* cb2 = nullptr;
    QCheckBox* cb3 = nullptr;
    QCheckBox* cb4 = nullptr;
    QLabel* Label27 = nullptr;
    QComboBox* cb5 = nullptr;
    QCheckBox* chVerify = nullptr; // read each copy back and compare it with its source
    // flush what the run wrote before its closing line, also on a volume that is not removable
    QCheckBox* chFlush = nullptr;
    // The conversion group: format, quality, which files, device, own formats, workers.
    QGroupBox* GroupConvert = nullptr;
    QLabel* LabelConvert = nullptr;
    QComboBox* cbConvert = nullptr; // "нет", then the targets
    QLabel* LabelConvertQuality = nullptr;
    QComboBox* cbConvertQuality = nullptr; // the item data is the format's text ("mp3:v2")
    QLabel* LabelConvertWhich = nullptr;
    QComboBox* cbConvertWhich = nullptr; // convert::ConvertWhich by index
    QLabel* LabelConvertDevice = nullptr;
    QComboBox* cbConvertDevice = nullptr; // car stereo, phone, own formats
    QLineEdit* edConvertFormats = nullptr;
    QLabel* LabelConvertJobs = nullptr;
    QSpinBox* seConvertJobs = nullptr; // 1 .. the processor's cores
    QLabel* LabelConvertProblem = nullptr;

    // Preview page TS4 with its limit bar and player controls, and the build page TS4P.
    QLabel* Label10 = nullptr;
    QTreeView* ListView1 = nullptr;
    TrackListModel* PreviewRows = nullptr; // the rows ListView1 shows
    QLabel* LabelVolumeCheck = nullptr;    // how many rows the destination volume refuses
    QLabel* LabelTotals = nullptr;         // the preview's totals
    QPushButton* ButtonShuffle = nullptr;  // "Перемешать"
    QPushButton* ButtonUndo = nullptr;     // undoes the last removal, move, sort or shuffle
    QFrame* LimitBar = nullptr;
    Shape* LimitBarShape = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button6 = nullptr;
    QSlider* TB = nullptr;
    QLabel* mps = nullptr;
    QLabel* Label8 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* TSmP = nullptr;
    QLabel* Label11 = nullptr;

    // Progress page TSP.
    QLabel* Label12 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label16 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label13 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button5 = nullptr;
    QLabel* Label23 = nullptr;

    // About page TSA.
    QLabel* Label18 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label20 = nullptr;
    QLabel* Label21 = nullptr;
    QLabel* Label25 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Label22 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // wizard::WizardHost (window_page_flow.cpp).
    wizard::WizardFields fields() const override;
    wizard::Page shownPage() const override;
    void showPage(wizard::Page page) override;
    void setFooter(const wizard::FooterState& footer) override;
    void tickSourceKind(int32_t kind) override;
    void focusField(wizard::Field field) override;
    void showMessage(const std::string& text) override;
    std::vector<std::string> historyItems(wizard::History history) const override;
    void addToHistory(wizard::History history, const std::string& text) override;
    void setSizeLimit(int64_t bytes) override { SizeLimit = bytes; }
    void buildList() override { FillPreviewList(); }
    void clearList() override;
    void updateLimitBar() override { UpdateLimitBar(); }
    void stopPlayer() override;
    void runCopy() override { CopyRun(); }
    QComboBox* historyBox(wizard::History history) const;
    void reportRelocatedLines();
    QWidget* pageWidget(wizard::Page page) const;
    void pageShown();

    void FormCreate();
    void FormClose();

    void buildWindow();
    QWidget* buildHeader();
    QWidget* buildFooter();
    void buildStartPage();
    void buildSourcePage();
    void buildDestinationPage();
    QGroupBox* buildConversionGroup(QWidget* page);
    void applyConversionTexts();
    void connectConversionHandlers();
    std::optional<convert::ConvertTarget> selectedConversionTarget() const;
    convert::ConvertFormat selectedConversionFormat() const;
    void showConversionQualities(const convert::ConvertFormat& format);
    bool ownDeviceFormatsInUse() const;
    void conversionSettingsFromControls(SettingsValues& values) const;
    void applyConversionSettings(const SettingsValues& values);
    void buildPreviewPage();
    void buildBuildingPage();
    void buildProgressPage();
    void buildAboutPage();
    void sizeAndCentreWindow();
    void fitStackToShownPage();
    void connectKeys();
    void focusFirstField(QWidget* page);
    void showPickedFiles();
    void restoreWindowGeometry(const std::string& stored);
    void nextByReturn();
    void connectHandlers();

    // window_settings.cpp: the settings between the controls and ConfDb.
    SettingsValues settingsFromControls() const;
    void applySettingsToControls(const SettingsValues& values);
    void createTrackListStore();

    void showPreviewLines();
    // The rows selected in ListView1, ascending.
    std::vector<int> selectedPreviewRows() const;
    // After an operation on the preview: the rows, the lines, the limit bar, and the rows at
    // `select` selected.
    void previewChanged(const std::vector<int>& select);

    std::string m_settingsPath;
    std::unique_ptr<UserPrompts> m_ownPrompts;
    UserPrompts* m_prompts = nullptr;
    std::unique_ptr<LinkOpener> m_ownLinks;
    LinkOpener* m_links = nullptr;
    std::unique_ptr<wizard::PageFlow> m_flow;
    // The built list as the preview page shows it, over ListDb (plan/preview.h).
    std::unique_ptr<plan::Preview> m_preview;
    // The last column sorted by and whether the next click on it sorts the other way.
    int m_sortedColumn = -1;
    bool m_sortDescending = false;
    // The seed of the last shuffle while it is the list's order: Back and Next, which build
    // the list again, show the same order.
    std::optional<uint32_t> m_shuffleSeed;
    // The settings "ReadTags" and "DescriptionFormat" (sources/track_description.h).
    bool m_readTags = true;
    bool m_tagsWin = false;
    std::string m_descriptionFormat = sources::DefaultDescriptionFormat;
    sources::TagOptions tagOptions() const;
    // The settings' "Drives" text, written back as it was read.
    std::string m_driveMappings;
    std::unique_ptr<wizard::MediaDevice> m_ownDevice;
    std::unique_ptr<PlayerControls> m_playerControls;
    std::unique_ptr<QtPlayerTimer> m_refreshTimer;
    std::unique_ptr<QtPlayerTimer> m_seekTimer;

public:
    // The preview player over the window's controls; lives as long as the window.
    std::unique_ptr<wizard::PreviewPlayer> Player;

private:
    bool m_closed = false;
    bool m_closeAfterRun = false; // the window was closed during a run and said Yes to the abort
    // The progress page as the copy engine's view, and the display over it, whose update
    // stamps live as long as the window.
    copy::SteadyClock m_clock;
    std::unique_ptr<ProgressPageView> m_progressView;
    std::unique_ptr<copy::ProgressDisplay> m_progressDisplay;
};

} // namespace app
