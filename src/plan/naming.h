// Destination names of the track list: every entry's FileName from its source path, its
// playlist description and its list position, under the options of the destination page.
//
// The per-entry rules are pure (destNameFor, cleanInvalidName); ComputeDestNames and
// FixInvalidNames walk the list in ListDb and apply them, on the destination folder in its full
// form (fullDestFolder). Every FileName lies inside the destination folder: "." and ".." parts
// of kept source folders or of a description are dropped, never followed (see path_rules.h),
// and the invalid-name fix touches only the part below the folder, never the folder itself.
#pragma once

#include "convert/conversion_choice.h"

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
    // "Преобразовать": a file it converts is named with the target's extension.
    convert::ConversionChoice conversion{};
};

// Number of decimal digits of the highest list position (1 for 0..9, 2 for 10..99, ...).
int numberWidthFor(int highestPosition);

// The destination path of one entry: its source `origFileName`, its description `desc`,
// its list `position` and the width of the running numbers.
std::string destNameFor(const NamingOptions& options, std::string_view origFileName, std::string_view desc,
                        int position, int numberWidth);

// The destination as the file calls will read it, in full ("Z:/media/stick/dst/" gives
// "Z:\media\stick\dst", "D:dst" the folder dst below the current folder of D:); the text as
// typed when it names no drive (the copy run then refuses it). The user chose this folder, and
// it may exist already, so nothing in it is ever cleaned.
std::string fullDestFolder(std::string_view typed);

// The first of "Song (1).mp3", "Song (2).mp3", ... beside `path` ("D:\Music\Song.mp3") that
// names nothing yet: the name an entry gets under the numbering policy when its own is taken.
std::string firstFreeNumberedName(std::string_view path);

// nullopt when the part of `name` below `destFolder` holds no invalid character; otherwise
// `name` with that part cleaned by `action` (unchanged for an action outside the three known
// ones). A name that does not begin with the folder is looked at whole.
std::optional<std::string> cleanInvalidName(std::string_view name, std::string_view destFolder,
                                            InvalidCharAction action);

// Sets FileName of every entry of "list" in `listDb`. An empty or missing list does nothing.
void ComputeDestNames(store::TfdbObject& listDb, const NamingOptions& options);

// Cleans every FileName of "list" that holds invalid characters below the destination folder
// of `options`, by options.invalidChars; returns how many there were.
int FixInvalidNames(store::TfdbObject& listDb, const NamingOptions& options);

} // namespace plan
