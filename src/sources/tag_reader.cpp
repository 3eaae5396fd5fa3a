#include "sources/tag_reader.h"

#include "sources/failure_reason.h"
#include "texts/text_table.h"

namespace sources {
namespace {

constexpr int UnopenedText = 310;
constexpr int EmptyText = 311;
constexpr int UnknownFormatText = 312;
constexpr int FailedText = 313;

} // namespace

std::string noTagsBecauseUnopened() {
    return texts::FormatText(UnopenedText, {failureReason(platform::lastError())});
}

std::string noTagsBecauseEmpty() {
    return texts::GetText(EmptyText);
}

std::string noTagsBecauseUnknownFormat() {
    return texts::GetText(UnknownFormatText);
}

std::string noTagsBecauseFailed(const std::string& what) {
    return texts::FormatText(FailedText, {what});
}

} // namespace sources
