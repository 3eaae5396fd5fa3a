// The names the entries of one run are written under, so that no entry of the run overwrites
// another. Two entries can plan one name: names that differ only in letter case (the program's
// namespace folds case, and so do the volumes of sticks), names that cleaning made equal
// ("a:b.mp3" and "ab.mp3" on FAT), long names that the 255-byte cut made equal. The later entry
// then takes the first free " (N)" number among the run's names, whatever the policy for files
// that stood there before the run; its stem is cut first, so the numbered name still fits.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plan {

// The longest name, in bytes of the host's name, that every volume of this host takes.
inline constexpr size_t MostNameBytes = 255;

// An entry of the run written under another name than it planned: its place in the list, the
// name it takes, and the place of the earlier entry that planned its name first.
struct RunNameChange {
    size_t index = 0;
    std::string name;
    size_t earlier = 0;
};

// The entries of `written` (program paths in list order, "" for an entry that is not written)
// whose name equals an earlier one (letter case aside), each with its first free numbered form.
// Only the changes are made: a list of a million names costs one folded copy of each.
std::vector<RunNameChange> runNameChanges(const std::vector<std::string>& written);

// `written` with runNameChanges applied.
std::vector<std::string> distinctRunNames(std::vector<std::string> written);

// `path` with " (number)" before the extension of its last name, the stem cut at a character
// boundary (and cleared of trailing dots and blanks) so that the host's name stays within
// MostNameBytes.
std::string numberedName(std::string_view path, int number);

} // namespace plan
