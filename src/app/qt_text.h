// Between the program's texts (UTF-8 std::string, line breaks as CR LF) and Qt's.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace app {

// UTF-8 to QString, with every CR LF (and a lone CR) made the LF that Qt widgets break on.
QString toQt(std::string_view text);
// QString to UTF-8, unchanged otherwise.
std::string fromQt(const QString& text);
// The lines of a text as a list control takes them (texts::splitLines).
QStringList linesOf(std::string_view text);

} // namespace app
