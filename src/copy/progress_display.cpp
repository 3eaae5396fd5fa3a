#include "copy/progress_display.h"

#include "texts/text_table.h"

#include <cmath>
#include <cstdio>

namespace copy {

namespace {

constexpr int64_t MillisecondsPerDay = 24LL * 3600 * 1000;
// The labels stay empty during the first two seconds of the transfers.
constexpr int64_t StatusDelay = 2000;
// An estimate beyond this is no estimate (a fraction of almost nothing done).
constexpr double LongestEstimate = 1e12;

} // namespace

std::string durationText(int64_t milliseconds) {
    int64_t seconds = (milliseconds % MillisecondsPerDay) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

int barPosition(double fraction) {
    if (!(fraction > 0)) {
        return 0;
    }
    if (fraction >= 1) {
        return BarMaximum;
    }
    return static_cast<int>(BarMaximum * fraction);
}

ProgressDisplay::ProgressDisplay(ProgressView& view, Clock& clock, const RunState& run)
    : m_view(view), m_clock(clock), m_run(run) {}

void ProgressDisplay::setBar(double fraction, int64_t& stamp, void (ProgressView::*setter)(int)) {
    int64_t now = m_clock.nowMilliseconds();
    if (now == stamp) {
        return;
    }
    (m_view.*setter)(barPosition(fraction));
    m_view.processPendingMessages();
    stamp = now;
}

void ProgressDisplay::SetOverallBar(double fraction) {
    setBar(fraction, m_overallStamp, &ProgressView::setOverallBar);
}

void ProgressDisplay::SetFileBar(double fraction) {
    setBar(fraction, m_fileStamp, &ProgressView::setFileBar);
}

void ProgressDisplay::resetBarStamps() {
    m_overallStamp = NoStamp;
    m_fileStamp = NoStamp;
}

void ProgressDisplay::ShowStatus(uint8_t flags, double fraction) {
    int64_t now = m_clock.nowMilliseconds();
    if (now == m_statusStamp && (flags & StatusForce) == 0) {
        return;
    }
    m_statusStamp = now;
    int64_t elapsed = now - m_run.RunStartTime;
    if (elapsed <= StatusDelay) {
        return;
    }
    if (flags & StatusTime) {
        m_view.setStatusText(StatusLabel::Time, timeText(elapsed, fraction));
    }
    if (flags & StatusSize) {
        m_view.setStatusText(StatusLabel::Size,
                             SizeText(m_run.DoneBytes) + " / " + SizeText(m_run.TotalBytes));
    }
    if (flags & StatusSpeed) {
        m_view.setStatusText(StatusLabel::Speed, speedText(elapsed));
    }
    m_view.processPendingMessages();
}

std::string ProgressDisplay::timeText(int64_t elapsed, double fraction) const {
    std::string text = durationText(elapsed);
    // Nothing done yet gives no pace to go by: the label shows the elapsed time alone rather
    // than a division by zero.
    double estimate = fraction > 0 ? static_cast<double>(elapsed) / fraction : 0;
    if (fraction > 0 && std::isfinite(estimate) && estimate < LongestEstimate) {
        text += " - " + durationText(static_cast<int64_t>(estimate));
    }
    return text;
}

std::string ProgressDisplay::speedText(int64_t elapsed) const {
    // Millions of bytes per second cut to one decimal: DoneBytes / seconds / 100000, in whole
    // tenths.
    int64_t tenths = m_run.DoneBytes / (elapsed * 100);
    return texts::fillPlaceholders("%1", {static_cast<double>(tenths) / 10}) + " Mb/s";
}

void ProgressDisplay::ClearStatus() {
    m_view.setStatusText(StatusLabel::Size, "");
    m_view.setStatusText(StatusLabel::Time, "");
    m_view.setStatusText(StatusLabel::Speed, "");
}

void ProgressDisplay::LogLine(const std::string& text) {
    m_view.appendLogLine(text);
}

} // namespace copy
