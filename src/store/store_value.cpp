#include "store/store_value.h"

#include <charconv>
#include <type_traits>

namespace store {
namespace {

template <typename T> StoreValue make(T value) {
    return StoreValue(StoreValue::Data(std::in_place_type<T>, value));
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool parseDecimal(std::string_view text, int64_t& out) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

bool equalsNoCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != lowerWord[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

StoreValue StoreValue::fromBool(bool value) {
    return make(value);
}
StoreValue StoreValue::fromInt8(int8_t value) {
    return make(value);
}
StoreValue StoreValue::fromUInt8(uint8_t value) {
    return make(value);
}
StoreValue StoreValue::fromInt16(int16_t value) {
    return make(value);
}
StoreValue StoreValue::fromUInt16(uint16_t value) {
    return make(value);
}
StoreValue StoreValue::fromInt32(int32_t value) {
    return make(value);
}
StoreValue StoreValue::fromUInt32(uint32_t value) {
    return make(value);
}
StoreValue StoreValue::fromInt64(int64_t value) {
    return make(value);
}
StoreValue StoreValue::fromUInt64(uint64_t value) {
    return make(value);
}
StoreValue StoreValue::fromText(std::string value) {
    return make(std::move(value));
}

bool StoreValue::isInteger() const {
    return kind() != Kind::Empty && kind() != Kind::Bool && kind() != Kind::Text;
}

std::string StoreValue::toText() const {
    return std::visit(
        [](const auto& value) -> std::string {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return {};
            } else if constexpr (std::is_same_v<T, bool>) {
                return value ? "true" : "false";
            } else if constexpr (std::is_same_v<T, std::string>) {
                return value;
            } else {
                return std::to_string(value);
            }
        },
        m_data);
}

bool StoreValue::toBool() const {
    if (const auto* text = std::get_if<std::string>(&m_data)) {
        int64_t number = 0;
        return equalsNoCase(trimBlanks(*text), "true") || (parseDecimal(*text, number) && number != 0);
    }
    return toInt64() != 0;
}

int64_t StoreValue::toInt64() const {
    return std::visit(
        [](const auto& value) -> int64_t {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return 0;
            } else if constexpr (std::is_same_v<T, std::string>) {
                int64_t number = 0;
                return parseDecimal(value, number) ? number : 0;
            } else {
                return static_cast<int64_t>(value);
            }
        },
        m_data);
}

std::string_view kindName(StoreValue::Kind kind) {
    static constexpr std::string_view names[] = {"empty", "bool",   "int8",  "uint8",  "int16", "uint16",
                                                 "int32", "uint32", "int64", "uint64", "text"};
    auto index = static_cast<size_t>(kind);
    return index < std::size(names) ? names[index] : "unknown";
}

} // namespace store
