#include "app/main_window.h"
#include "app/track_list_model.h"

#include "app/artwork.h"
#include "app/controls.h"
#include "app/desktop_links.h"
#include "app/player_controls.h"
#include "app/progress_page_view.h"
#include "app/qt_media_device.h"
#include "app/qt_user_prompts.h"
#include "app/settings.h"
#include "app/settings_location.h"
#include "app/track_list_model.h"
#include "app/widgets.h"
#include "platform/drives.h"
#include "sources/source_choice.h"
#include "sources/source_paths.h"
#include "store/object_model.h"
#include "texts/text_table.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int CloseDuringRunRow = 196;

} // namespace

namespace {

// The colour of the size bar's measure (red 130, green 232, blue 160).
constexpr int LimitBarShapeColor = 10545282;

// The design's window: a fixed single border with the system menu and the minimise button.
constexpr Qt::WindowFlags WindowKind = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                       Qt::WindowCloseButtonHint;

QFrame* separatorLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

TForm1::TForm1(WindowSetup setup) : QWidget(nullptr, WindowKind) {
    m_settingsPath = setup.settingsPath.empty() ? settingsFilePath() : std::move(setup.settingsPath);
    if (setup.prompts != nullptr) {
        m_prompts = setup.prompts;
    } else {
        m_ownPrompts = std::make_unique<QtUserPrompts>(this);
        m_prompts = m_ownPrompts.get();
    }
    if (setup.links != nullptr) {
        m_links = setup.links;
    } else {
        m_ownLinks = std::make_unique<DesktopLinkOpener>();
        m_links = m_ownLinks.get();
    }
    m_flow = std::make_unique<wizard::PageFlow>(Shell, static_cast<wizard::WizardHost&>(*this));
    wizard::MediaDevice* device = setup.mediaDevice;
    if (device == nullptr) {
        m_ownDevice = std::make_unique<QtMediaDevice>();
        device = m_ownDevice.get();
    }
    buildWindow();
    setAcceptDrops(true);
    m_progressView = std::make_unique<ProgressPageView>(
        ProgressPageControls{Memo1, ProgressBar1, ProgressBar2, Label16, Label14, Label15, Label12},
        *m_prompts, *m_links);
    m_progressDisplay = std::make_unique<copy::ProgressDisplay>(*m_progressView, m_clock, Run);
    m_playerControls =
        std::make_unique<PlayerControls>(PlayerControlSet{mps, TB, ListView1, PreviewRows}, *m_prompts);
    m_refreshTimer = std::make_unique<QtPlayerTimer>(Timer1);
    m_seekTimer = std::make_unique<QtPlayerTimer>(TSmP);
    Player =
        std::make_unique<wizard::PreviewPlayer>(*device, *m_playerControls, *m_refreshTimer, *m_seekTimer);
    FormCreate();
    connectHandlers();
}

TForm1::~TForm1() = default;

void TForm1::buildWindow() {
    setObjectName(QStringLiteral("Form1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    layout->addWidget(separatorLine(this));

    PCL = new QStackedWidget(this);
    PCL->setObjectName(QStringLiteral("PCL"));
    const std::pair<WizardPage**, const char*> pages[] = {{&TS0, "TS0"},   {&TS2, "TS2"}, {&TS3, "TS3"},
                                                          {&TS4, "TS4"},   {&TSP, "TSP"}, {&TSF, "TSF"},
                                                          {&TS4P, "TS4P"}, {&TSA, "TSA"}};
    for (const auto& [page, name] : pages) {
        *page = new WizardPage(PCL);
        (*page)->setObjectName(QString::fromLatin1(name));
        PCL->addWidget(*page);
    }
    buildStartPage();
    buildSourcePage();
    buildDestinationPage();
    buildPreviewPage();
    buildBuildingPage();
    buildProgressPage();
    buildAboutPage();
    // On a small or scaled screen the pages scroll rather than push the footer off the screen.
    auto* pageArea = new QScrollArea(this);
    pageArea->setObjectName(QStringLiteral("PageArea"));
    pageArea->setFrameShape(QFrame::NoFrame);
    pageArea->setWidgetResizable(true);
    pageArea->setWidget(PCL);
    layout->addWidget(pageArea, 1);
    connect(PCL, &QStackedWidget::currentChanged, this, &TForm1::fitStackToShownPage);
    fitStackToShownPage();

    layout->addWidget(separatorLine(this));
    layout->addWidget(buildFooter());
}

QWidget* TForm1::buildHeader() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    Panel1->setPalette(palette);

    Label1 = makeLabel(Panel1, "Label1", LabelStyle::Bold);
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    Label1->setFont(titleFont);
    Image1 = makeLabel(Panel1, "Image1");
    Image1->setPixmap(headerIcon(48));

    auto* layout = new QHBoxLayout(Panel1);
    layout->setContentsMargins(18, 8, 14, 8);
    layout->addWidget(Label1);
    layout->addStretch(1);
    layout->addWidget(Image1);
    return Panel1;
}

QWidget* TForm1::buildFooter() {
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Label24 = makeLabel(Panel2, "Label24");
    QFont font = Label24->font();
    font.setItalic(true);
    Label24->setFont(font);
    QPalette palette = Label24->palette();
    palette.setColor(QPalette::WindowText, Qt::gray);
    Label24->setPalette(palette);
    Label24->setCursor(Qt::PointingHandCursor);

    BPrev = makeButton(Panel2, "BPrev");
    BNext = makeButton(Panel2, "BNext");
    Button4 = makeButton(Panel2, "Button4");
    // A hidden footer button keeps its place, so the others never move under the pointer.
    for (QPushButton* button : {BPrev, BNext}) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
    }
    auto* layout = new QHBoxLayout(Panel2);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->addWidget(Label24);
    layout->addStretch(1);
    layout->addWidget(BPrev);
    layout->addWidget(BNext);
    layout->addSpacing(16);
    layout->addWidget(Button4);
    return Panel2;
}

// The window opens at the larger of its design size and what its laid-out texts need, but
// never larger than the screen's free area (a laptop at 150 % or 200 % has little room: the
// pages then scroll), in the middle of that area; a person may resize it down to the header,
// the footer and a little of the page.
// The page area scrolls for the page shown, not for the tallest page: the pages not shown count
// nothing towards the stack's size, so that on a short screen the preview's list gives up its
// height and the buttons and totals under it stay in sight.
void TForm1::fitStackToShownPage() {
    for (int page = 0; page < PCL->count(); ++page) {
        QWidget* const widget = PCL->widget(page);
        const QSizePolicy::Policy policy =
            widget == PCL->currentWidget() ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        widget->setSizePolicy(policy, policy);
    }
    PCL->updateGeometry();
}

void TForm1::sizeAndCentreWindow() {
    const QSize designSize(720, 560);
    layout()->activate();
    // What the largest page needs, with room for the page area's vertical scroll bar.
    QSize pages;
    for (int page = 0; page < PCL->count(); ++page) {
        QWidget* const shown = PCL->widget(page);
        shown->ensurePolished();
        if (shown->layout() != nullptr) {
            shown->layout()->activate();
        }
        pages = pages.expandedTo(shown->minimumSizeHint()).expandedTo(shown->minimumSize());
    }
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // Around the pages: the header, the footer and the lines between them, so that the tallest
    // page fits without a scroll bar where the screen has room.
    int around = 0;
    for (int i = 0; i < layout()->count(); ++i) {
        const QWidget* const part = layout()->itemAt(i)->widget();
        if (part != nullptr && part->objectName() != QLatin1String("PageArea")) {
            around += part->sizeHint().height();
        }
    }
    QSize size = designSize.expandedTo(pages + QSize(scrollBar, around));
    const QSize smallest(std::min(size.width(), 480),
                         Panel1->sizeHint().height() + Panel2->sizeHint().height() + 120);
    setMinimumSize(smallest);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        // Room for the title bar and borders that a window manager adds around the window.
        size = size.boundedTo(area.size() - QSize(16, 40));
        resize(size);
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        resize(size);
    }
}

void TForm1::FormCreate() {
    const QString exeFolder = QCoreApplication::applicationDirPath();
    Shell.ProgramFolder = sources::StripTrailingBackslashes(platform::toProgramPath(exeFolder.toStdString()));

    ConfDb = std::make_unique<store::TfdbObject>();
    ConfDb->Load(m_settingsPath, 1);

    ApplyInterfaceTexts();
    // Sized once the texts are on, so that the layouts measure the real captions.
    sizeAndCentreWindow();

    RadioGroup1->setItemIndex(1);
    RadioButton1->setChecked(true);
    Shell.SourceKind = sources::PlaylistSource;
    cbSource1->setEditText(QString());
    cbDest->setEditText(QString());

    LimitBarShape->setPenColor(designColor(LimitBarShapeColor));
    LimitBarShape->setBrushColor(designColor(LimitBarShapeColor));

    applySettingsToControls(readSettings(*ConfDb, settingsFromControls()));

    m_flow->start();

    createTrackListStore();
    // The player's status refresh runs for the whole life of the window.
    Timer1->start();
    Shell.WorkActive = false;
}

void TForm1::FormClose() {
    PreviewRows->setPreview(nullptr);
    m_preview.reset();
    ListDb.reset();
    writeSettings(*ConfDb, settingsFromControls());
    ConfDb->Save(m_settingsPath, 0);
    ConfDb.reset();
}

bool TForm1::FormCloseQuery() const {
    return Shell.mayClose();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_closed) {
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        // A person closing the window during a run is asked; Yes aborts, and the window closes
        // once the run has cleaned up after itself.
        if (Shell.WorkActive && !m_closeAfterRun && m_prompts->askYesNo(texts::GetText(CloseDuringRunRow))) {
            m_closeAfterRun = true;
            copy::requestCancel(Shell);
        }
        return;
    }
    FormClose();
    m_closed = true;
    event->accept();
}

void TForm1::Button4Click() {
    if (Shell.WorkActive) {
        copy::requestCancel(Shell);
        return;
    }
    if (Shell.RunIdle) {
        close();
    }
}

} // namespace app
