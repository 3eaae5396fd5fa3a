// What the page flow needs of the window: the pages, what the fields hold, and the steps that
// other parts of the program carry out (building the list, the limit bar, the player, the copy
// run). The window implements it over its controls; tests implement it with a recording double.
// Texts are UTF-8 as the fields show them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wizard {

// The pages of the page control, in its order. TSF is never shown; TS4P is shown while the
// list is built.
enum class Page { TS0, TS2, TS3, TS4, TSP, TSF, TS4P, TSA };

// The combo boxes that keep a history of what was typed or picked.
enum class History {
    Source1,   // cbSource1: playlists
    Source2,   // cbSource2: source folders
    Dest,      // cbDest: destination folders
    SizeLimit, // cbSizeLimit: typed limits in megabytes
};

// The fields that the flow can put the focus on.
enum class Field { Source1, Source2, Dest };

// The footer buttons BPrev and BNext, and the caption of the exit/abort button Button4.
struct FooterState {
    bool prevVisible = true;
    bool prevEnabled = true;
    bool nextVisible = true;
    bool nextEnabled = true;
    std::string exitCaption;
};

// What the fields of the source and destination pages hold when Next is clicked.
struct WizardFields {
    std::string source1{};       // cbSource1
    std::string source2{};       // cbSource2
    std::string dest{};          // cbDest
    std::string sizeLimitText{}; // cbSizeLimit
    bool autoSizeLimit = false;  // cbAutoSizeLimit
    bool moves = false;          // RadioGroup1 on the move
};

class WizardHost {
public:
    virtual ~WizardHost() = default;

    virtual WizardFields fields() const = 0;
    // The visible page. The window's page control is the one record of it, so a page shown
    // by other means (a test, a future control) is the page the flow works from.
    virtual Page shownPage() const = 0;
    // Makes `page` the visible one and paints it at once (TS4P must be seen while the list is
    // built without the event loop running).
    virtual void showPage(Page page) = 0;
    virtual void setFooter(const FooterState& footer) = 0;
    // Ticks the radio button of a source kind 1..3; any other kind ticks none.
    virtual void tickSourceKind(int32_t kind) = 0;
    // A message box with OK.
    virtual void showMessage(const std::string& text) = 0;
    // Shows the field's page element focused, its text selected, so a person can mend it.
    virtual void focusField(Field field) = 0;

    // The items of a history, first to last, and a new first item.
    virtual std::vector<std::string> historyItems(History history) const = 0;
    virtual void addToHistory(History history, const std::string& text) = 0;

    virtual void setSizeLimit(int64_t bytes) = 0;
    // Empties the track list, reads the chosen source into it and shows it in the preview.
    // A source that cannot be read raises its error (a std::exception with the message).
    virtual void buildList() = 0;
    // Empties the track list and the preview.
    virtual void clearList() = 0;
    virtual void updateLimitBar() = 0;
    virtual void stopPlayer() = 0;
    // The copy run over the list; returns when it has ended.
    virtual void runCopy() = 0;
};

} // namespace wizard
