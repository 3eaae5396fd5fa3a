// The checks that keep a source or destination that cannot work on its own page, where a person
// can still mend it, instead of letting the list build or the run fail on it later. Each check
// takes the text of a field as a person typed or picked it (a host path as the fields show it,
// or a program path such as "D:\Music") and answers the message that says what is wrong and
// how to mend it, or nullopt for a value the program can use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plan {

// The playlist field: an existing file that holds text (no NUL byte in its first 4 KiB).
std::optional<std::string> playlistFieldProblem(std::string_view typed);

// The source folder field: an existing folder.
std::optional<std::string> sourceFolderFieldProblem(std::string_view typed);

struct DestFieldContext {
    bool move = false;        // the run moves its files
    std::string sourceFolder; // the source folder field when the source is a folder, else ""
};

// The destination field: an absolute path on a mapped drive, not a file and not below one, in
// a folder (the nearest one that exists) that takes new entries; for a move of a folder
// source, neither that folder nor one inside it (the run would move files into the tree it
// walks).
std::optional<std::string> destFieldProblem(std::string_view typed, const DestFieldContext& context);

} // namespace plan
