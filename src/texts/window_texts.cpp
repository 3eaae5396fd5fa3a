#include "texts/window_texts.h"

#include "texts/text_table.h"

namespace texts {

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c != '\r' && c != '\n') {
            ++pos;
            continue;
        }
        lines.emplace_back(text.substr(start, pos - start));
        pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
        start = pos;
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

std::string siteRootOf(std::string_view link) {
    const std::size_t marker = link.find("/?");
    return std::string(marker == std::string_view::npos ? link : link.substr(0, marker + 1));
}

std::string upToFirstAmpersand(std::string_view link) {
    return std::string(link.substr(0, link.find('&')));
}

std::string mailAddressOf(std::string_view mailLink) {
    const std::size_t colon = mailLink.find(':');
    const std::size_t start = colon == std::string_view::npos ? 0 : colon + 1;
    const std::size_t end = mailLink.find('?', start);
    return std::string(mailLink.substr(start, end == std::string_view::npos ? end : end - start));
}

LinkHints buildLinkHints() {
    LinkHints hints;
    hints.mail = GetText(28) + "\n" + mailAddressOf(GetText(6));
    hints.site = GetText(23) + "\n" + siteRootOf(GetText(3));
    hints.product = GetText(24) + "\n" + upToFirstAmpersand(GetText(5));
    hints.forum = GetText(29);
    return hints;
}

} // namespace texts
