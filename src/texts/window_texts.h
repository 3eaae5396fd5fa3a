// Texts that the window derives from the table rather than shows as stored: the item lists of
// its list controls and the two-line hints of the link texts. Plain strings, no toolkit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace texts {

// The lines of a text, as a list control takes them for its items: CR LF, a lone CR and a lone
// LF each end a line; a line break at the very end adds no empty item; "" gives no items.
std::vector<std::string> splitLines(std::string_view text);

// The cuts that turn a link into the short address shown in its hint. Each gives the whole text
// when its marker is missing.
// From the start up to and including the "/" of the first "/?": the site root.
std::string siteRootOf(std::string_view link);
// From the start up to, not including, the first "&".
std::string upToFirstAmpersand(std::string_view link);
// After the first ":" and before the first "?" that follows it: the bare address of a mail link.
std::string mailAddressOf(std::string_view mailLink);

// The hints of the link texts on the start and About pages: the link's caption, a line break
// ("\n", which the window's tooltips show as a new line), and the short address.
struct LinkHints {
    std::string mail;    // StaticText6: row 28 and the address of row 6
    std::string site;    // StaticText3 and Image3: row 23 and the site root of row 3
    std::string product; // StaticText4: row 24 and row 5 up to its first "&"
    std::string forum;   // StaticText8: row 29 alone
};
LinkHints buildLinkHints();

} // namespace texts
