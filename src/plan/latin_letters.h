// Latin letters for the Cyrillic of Russian names, for a volume whose driver takes ASCII names
// only: "Песня" is written "Pesnya" there rather than lost to underscores.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plan {

// The Latin letters of one UTF-8 character of the Russian alphabet ("ж" gives "zh", "Ж" gives
// "Zh", "ъ" gives ""), nullopt for any other character.
std::optional<std::string> latinLettersOf(std::string_view character);

} // namespace plan
