#include "app/qt_text.h"

#include "texts/window_texts.h"

namespace app {

QString toQt(std::string_view text) {
    QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

std::string fromQt(const QString& text) {
    return text.toStdString();
}

QStringList linesOf(std::string_view text) {
    QStringList lines;
    for (const std::string& line : texts::splitLines(text)) {
        lines << QString::fromStdString(line);
    }
    return lines;
}

} // namespace app
