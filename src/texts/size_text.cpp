#include "texts/size_text.h"

namespace texts {

std::string SizeText(int64_t bytes) {
    if (bytes >= 2000000000) {
        return std::to_string(bytes / 1000000000) + " Гб";
    }
    if (bytes >= 10000000) {
        return std::to_string(bytes / 1000000) + " Мб";
    }
    if (bytes >= 10000) {
        return std::to_string(bytes / 1000) + " Кб";
    }
    return std::to_string(bytes) + " байт";
}

} // namespace texts
