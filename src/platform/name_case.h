// Letter case of names, ignored the way the Windows file system ignores it. Names are UTF-8
// bytes; ASCII, Latin-1 and Cyrillic letters fold to their capitals, every other byte stays as
// it is. Folding keeps the byte length of every character, so a folded name is as long as the
// name. The byte order of folded names is the order in which folder listings come (capitals,
// as that file system compares them: "_" sorts after the letters, digits before them).
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string foldNameCase(std::string_view name);
bool namesEqualNoCase(std::string_view a, std::string_view b);

} // namespace platform
