// The progress display of a copy run: the two bars and the status labels, throttled by the
// clock, the size text and the log. Each bar changes at most once per clock reading, the status
// labels too unless forced, so the cost of reporting does not grow with the chunk rate; every
// update that goes through also lets the window process its pending messages, which is how the
// skip and abort buttons reach a running copy.
//
// The display reads DoneBytes, TotalBytes and RunStartTime of the run state and writes nothing
// of it. One object lives as long as the window; its update stamps outlive the runs.
#pragma once

#include "texts/size_text.h"

#include "copy/clock.h"
#include "copy/progress_view.h"
#include "copy/run_state.h"

#include <climits>
#include <cstdint>
#include <string>

namespace copy {

inline constexpr int BarMaximum = 1000;

// ShowStatus flags.
enum StatusFlag : uint8_t {
    StatusTime = 1,  // elapsed / estimated total (Label15)
    StatusSize = 2,  // done / total size (Label14)
    StatusSpeed = 4, // Label16
    StatusForce = 8, // ignore the stamp
    StatusAll = 15,
};

// The size texts of the log and the labels (texts/size_text.h).
using texts::SizeText;

// A duration as "h:nn:ss", the hours counted within a day (25 hours shows 1:00:00).
std::string durationText(int64_t milliseconds);

// The position a bar shows for a fraction: the integer part of 1000 f, kept within 0..1000
// (a fraction that is not a number shows an empty bar).
int barPosition(double fraction);

class ProgressDisplay {
public:
    ProgressDisplay(ProgressView& view, Clock& clock, const RunState& run);

    void SetOverallBar(double fraction);
    void SetFileBar(double fraction);
    // `fraction` is the overall fraction of the work done; it drives the time estimate.
    void ShowStatus(uint8_t flags, double fraction);
    void ClearStatus();
    void LogLine(const std::string& text);
    // Lets the next update of each bar through, so a final value is not dropped.
    void resetBarStamps();

    ProgressView& view() { return m_view; }
    Clock& clock() { return m_clock; }

private:
    void setBar(double fraction, int64_t& stamp, void (ProgressView::*setter)(int));
    std::string timeText(int64_t elapsed, double fraction) const;
    std::string speedText(int64_t elapsed) const;

    ProgressView& m_view;
    Clock& m_clock;
    const RunState& m_run;
    // Clock readings of the last update that went through; NoStamp lets the next one through.
    static constexpr int64_t NoStamp = INT64_MIN;
    int64_t m_overallStamp = NoStamp;
    int64_t m_fileStamp = NoStamp;
    int64_t m_statusStamp = NoStamp;
};

} // namespace copy
