// Destination names of the track list: every entry's FileName from its source path, its
// playlist description and its list position, under the options of the destination page.
//
// The per-entry rules are pure (DestNameFor, CleanInvalidName); ComputeDestNames and
// FixInvalidNames walk the list in ListDb and apply them. Every FileName lies inside the
// destination folder: "." and ".." parts of kept source folders or of a description are
// dropped, never followed (see path_rules.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace store {
class TfdbObject;
}

namespace plan {

// Treatment of invalid characters, the item index of cb5. Any other value leaves an
// invalid name as it is (it is still counted).
enum class InvalidCharAction : int { Delete = 0, ReplaceWithSpace = 1, ReplaceWithUnderscore = 2 };

// The destination page's naming controls, read by the window.
struct NamingOptions {
    std::string destFolder = {};             // cbDest, exactly as typed
    bool renameFiles = true;                 // CheckBox1: master switch of the three rules below
    bool renameByDescription = false;        // cb2
    bool keepNamesStartingWithDigit = false; // cb3
    bool prefixListNumber = false;           // cb4
    bool keepFolderLevels = true;            // cbDiv
    int folderLevels = 1;                    // seDiv, 0..255
    InvalidCharAction invalidChars = InvalidCharAction::Delete; // cb5
};

// Number of decimal digits of the highest list position (1 for 0..9, 2 for 10..99, ...).
int NumberWidth(int highestPosition);

// The destination path of one entry: its source `origFileName`, its description `desc`,
// its list `position` and the width of the running numbers.
std::string DestNameFor(const NamingOptions& options, std::string_view origFileName, std::string_view desc,
                        int position, int numberWidth);

// nullopt when `name` holds no invalid character; otherwise the name cleaned by `action`
// (unchanged for an action outside the three known ones).
std::optional<std::string> CleanInvalidName(std::string_view name, InvalidCharAction action);

// Sets FileName of every entry of "list" in `listDb`. An empty or missing list does nothing.
void ComputeDestNames(store::TfdbObject& listDb, const NamingOptions& options);

// Cleans every FileName of "list" that holds invalid characters; returns how many there were.
int FixInvalidNames(store::TfdbObject& listDb, InvalidCharAction action);

} // namespace plan
