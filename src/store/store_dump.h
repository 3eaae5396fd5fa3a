// A readable listing of a store: the tree from the root, one item per line, indented two
// blanks per level, children in link order. Each line starts with the item's number:
//
//   1 directory (root, 2 links)
//     2 directory "list" (1 link)
//       5 object of mask 3 (2 fields)
//         OrigFileName: 6 text = text "Z:\music\a.mp3"
//         Size: 7 value = int8 -1
//     3 mask "item" (2 fields)
//       field "OrigFileName" type 4 (0, 0, 0)
//     (empty link)
//
// An item reached a second time shows as "N (shown above)". Items that nothing links from the
// root follow under "unlinked items:". Texts are quoted with \" \\ and \xHH escapes, so every
// line holds exactly one item.
#pragma once

#include "store/fdb.h"

#include <ostream>
#include <string>

namespace store {

void dumpStore(const TfdbHandle& handle, std::ostream& out);
std::string quoteText(const std::string& text);

} // namespace store
