// Which control's event runs which handler. Connected once start-up has put the stored
// settings on the controls, so that only the person's changes (and the program's own after
// start-up) run them. Every handler runs guarded: an error it raises is shown in a message
// box and the window goes on.
#include "app/click_relay.h"
#include "app/history_menu.h"
#include "app/main_window.h"
#include "app/track_list_model.h"
#include "app/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace app {

namespace {

// Takes the keys `keys` (with their modifiers; the keypad's counts as the main keyboard's) from
// the widget it watches and answers them with `press`. A filter rather than a shortcut, so that
// the key works wherever the widget has the focus, also before the window manager activates it.
class KeysPress : public QObject {
public:
    KeysPress(QObject* parent, std::vector<QKeyCombination> keys, std::function<void()> press)
        : QObject(parent), m_keys(std::move(keys)), m_press(std::move(press)) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination pressed(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key()));
        if (std::find(m_keys.begin(), m_keys.end(), pressed) == m_keys.end()) {
            return false;
        }
        m_press();
        return true;
    }

private:
    std::vector<QKeyCombination> m_keys;
    std::function<void()> m_press;
};

} // namespace

void TForm1::connectHandlers() {
    connectHandler(BNext, &QPushButton::clicked, &TForm1::BNextClick);
    connectHandler(BPrev, &QPushButton::clicked, &TForm1::BPrevClick);
    connectHandler(Button4, &QPushButton::clicked, &TForm1::Button4Click);
    connect(PCL, &QStackedWidget::currentChanged, this,
            [this] { runGuarded(*m_prompts, [this] { pageShown(); }); });

    // Source page.
    connectHandler(RadioButton1, &QRadioButton::clicked, &TForm1::RadioButton1Click);
    connectHandler(RadioButton2, &QRadioButton::clicked, &TForm1::RadioButton2Click);
    connectHandler(RadioButton3, &QRadioButton::clicked, &TForm1::RadioButton3Click);
    // Typing, pasting and choosing from the history all select the field's source kind.
    connectHandler(cbSource1, &QComboBox::editTextChanged, &TForm1::cbSource1Change);
    connectHandler(cbSource1, &QComboBox::activated, &TForm1::cbSource1Change);
    connectHandler(cbSource2, &QComboBox::editTextChanged, &TForm1::cbSource2Change);
    connectHandler(cbSource2, &QComboBox::activated, &TForm1::cbSource2Change);
    connectHandler(BitBtn3, &QPushButton::clicked, &TForm1::BitBtn3Click);
    connectHandler(BitBtn4, &QPushButton::clicked, &TForm1::BitBtn4Click);
    connectHandler(BitBtn5, &QPushButton::clicked, &TForm1::BitBtn5Click);
    connectHandler(ButtonDrives, &QPushButton::clicked, &TForm1::drivesClick);
    for (QComboBox* box : {cbSource1, cbSource2, cbDest, cbSizeLimit}) {
        offerHistoryClearing(box);
    }

    // Destination page.
    connectHandler(BitBtn2, &QPushButton::clicked, &TForm1::Button1Click);
    connectHandler(cbDest, &QComboBox::editTextChanged, &TForm1::RefreshDestOptions);
    for (QCheckBox* box : {cbAutoSizeLimit, CheckBox1, cbDiv}) {
        connectHandler(box, &QCheckBox::toggled, &TForm1::RefreshDestOptions);
    }
    connectConversionHandlers();

    // Preview and progress pages.
    connectHandler(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    connectHandler(ButtonShuffle, &QPushButton::clicked, &TForm1::shuffleClick);
    connectHandler(ButtonUndo, &QPushButton::clicked, &TForm1::undoPreviewClick);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { runGuarded(*m_prompts, [this, column] { sortPreviewBy(column); }); });
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { runGuarded(*m_prompts, [this, at] { showPreviewMenu(at); }); });
    connect(PreviewRows, &TrackListModel::rowsDropped, this, [this](int before) {
        runGuarded(*m_prompts, [this, before] { moveSelectedRowsBefore(before); });
    });
    connectHandler(Button5, &QPushButton::clicked, &TForm1::Button5Click);
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.isEmpty()) {
                    const int row = selected.indexes().front().row();
                    runGuarded(*m_prompts, [this, row] { ListView1SelectItem(row); });
                }
            });
    // Play plays the selected entry: without one there is nothing to play.
    const auto playWhenSelected = [this] {
        Button1->setEnabled(ListView1->selectionModel()->hasSelection());
    };
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, playWhenSelected);
    connect(ListView1->model(), &QAbstractItemModel::modelReset, this, playWhenSelected);
    playWhenSelected();
    connectHandler(ListView1, &QTreeView::doubleClicked, &TForm1::ListView1DblClick);
    connectHandler(Button1, &QPushButton::clicked, &TForm1::ListView1DblClick);
    connectHandler(Button6, &QPushButton::clicked, &TForm1::Button6Click);
    connectHandler(TB, &QSlider::valueChanged, &TForm1::TBChange);
    connectHandler(Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    connectHandler(TSmP, &QTimer::timeout, &TForm1::TSmPTimer);

    // Start and About pages, and the footer's text.
    connectHandler(StaticText1, &StaticText::clicked, &TForm1::StaticText1Click);
    connectHandler(StaticText2, &StaticText::clicked, &TForm1::StaticText2Click);
    connectHandler(StaticText3, &StaticText::clicked, &TForm1::StaticText3Click);
    connectHandler(StaticText4, &StaticText::clicked, &TForm1::StaticText4Click);
    connectHandler(StaticText6, &StaticText::clicked, &TForm1::StaticText6Click);
    connectHandler(StaticText8, &StaticText::clicked, &TForm1::StaticText8Click);
    ClickRelay::watch(Image3, [this] { runGuarded(*m_prompts, [this] { StaticText3Click(); }); });
    ClickRelay::watch(Label24, [this] { runGuarded(*m_prompts, [this] { Label24Click(); }); });
    connectKeys();
}

// The keys a person expects of a wizard: Return (and the keypad's Enter) presses "Далее >>"
// where it is shown, Delete removes the selected rows of the preview list.
void TForm1::nextByReturn() {
    if (BNext->isVisible() && BNext->isEnabled()) {
        BNext->click();
    }
}

void TForm1::focusFirstField(QWidget* page) {
    QWidget* first = nullptr;
    if (page == TS2) {
        QRadioButton* const kinds[] = {RadioButton1, RadioButton2, RadioButton3};
        QComboBox* const fields[] = {cbSource1, cbSource2, nullptr};
        const int kind = std::clamp(Shell.SourceKind, 1, 3) - 1;
        first = fields[kind] != nullptr ? static_cast<QWidget*>(fields[kind]) : kinds[kind];
    } else if (page == TS3) {
        first = cbDest;
    } else if (page == TS4) {
        first = ListView1;
    } else {
        first = BNext->isVisible() ? BNext : Button4;
    }
    first->setFocus(Qt::OtherFocusReason);
}

void TForm1::connectKeys() {
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* next = new QShortcut(key, this);
        next->setContext(Qt::WindowShortcut);
        connect(next, &QShortcut::activated, this, &TForm1::nextByReturn);
    }
    // A field's line edit keeps Return from the shortcut (and an editable combo box would hand
    // it to the line edit a second time), so the fields take the key here, once.
    for (QComboBox* box : {cbSource1, cbSource2, cbDest, cbSizeLimit}) {
        box->lineEdit()->installEventFilter(
            new KeysPress(box->lineEdit(), {Qt::Key_Return, Qt::Key_Enter}, [this] { nextByReturn(); }));
    }
    edConvertFormats->installEventFilter(
        new KeysPress(edConvertFormats, {Qt::Key_Return, Qt::Key_Enter}, [this] { nextByReturn(); }));
    ListView1->installEventFilter(new KeysPress(
        ListView1, {Qt::Key_Delete}, [this] { runGuarded(*m_prompts, [this] { Button2Click(); }); }));
    // Arranging the preview from the keyboard: Alt+Up and Alt+Down move the selected rows,
    // Ctrl+Z takes back the last removal, move, sort or shuffle.
    const std::pair<QKeyCombination, std::function<void()>> arrangeKeys[] = {
        {Qt::ALT | Qt::Key_Up, [this] { moveSelectedRows(-1); }},
        {Qt::ALT | Qt::Key_Down, [this] { moveSelectedRows(1); }},
        {Qt::CTRL | Qt::Key_Z, [this] { undoPreviewClick(); }},
    };
    for (const auto& [key, step] : arrangeKeys) {
        ListView1->installEventFilter(
            new KeysPress(ListView1, {key}, [this, action = step] { runGuarded(*m_prompts, action); }));
    }
}

// The handlers that run when a page becomes the visible one; the focus goes to its first field.
void TForm1::pageShown() {
    QWidget* const page = PCL->currentWidget();
    focusFirstField(page);
    if (page == TS3) {
        RefreshDestOptions();
    } else if (page == TS4) {
        TS4Show();
    } else if (page == TSA) {
        TSAShow();
    }
}

} // namespace app
