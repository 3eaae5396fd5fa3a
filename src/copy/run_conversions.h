// The entries of a run that are converted instead of copied (CopyOptions::Conversion). Their
// encoding runs on a pool of workers ahead of the entry the run is at, each into a temporary
// file beside its destination (platform::PartialFile), while the run goes on in list order on
// its own thread: it shows the entry in hand on the bars and in the log, lets the skip and abort
// buttons stop it, and puts the finished file at its name with the existing-file policy, as a
// copy is put. A skipped, failed or aborted conversion leaves nothing behind.
#pragma once

#include "convert/conversion_pool.h"
#include "copy/copy_options.h"
#include "copy/entry_transfer.h"
#include "copy/progress_display.h"
#include "copy/run_state.h"
#include "copy/run_volume.h"

#include "platform/files.h"
#include "platform/transfer.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace copy {

// The facts of each entry the conversions need, in list order.
struct ConvertedEntries {
    std::vector<bool> converts;         // the choice converts its source
    std::vector<std::string> sources;   // program paths
    std::vector<std::string> destNames; // planned destinations, "" when not attempted
    std::vector<int64_t> lengths;       // source bytes as the scan measured them, -1 when not
};

// The line that names the missing GStreamer element and its package when a conversion into
// the chosen format cannot be made here; nullopt when it can (or nothing is converted).
std::optional<std::string> missingEncoderLine(const convert::ConversionChoice& choice);

class RunConversions {
public:
    RunConversions(const CopyOptions& options, ConvertedEntries entries, const RunVolume& volume);
    RunConversions(const RunConversions&) = delete;
    RunConversions& operator=(const RunConversions&) = delete;
    // Stops what still runs and removes what it wrote.
    ~RunConversions();

    bool converts(int index) const;
    // Starts the conversions of the entries from `index` on, as many ahead as the workers can
    // take, each into its temporary file. An entry whose temporary file cannot be made is left
    // for its turn, which tells why.
    void startAhead(int index);
    // The entry's conversion at its turn, after the policy and the checks gave `dest`: its log
    // line, the wait with the bars, the commit under `dest` (or a name the policy gives when
    // `dest` is taken meanwhile) and, for a move, the source's removal once the new file is
    // checked. `landed` receives the name the file went to.
    EntryOutcome convertEntry(int index, const platform::ResolvedPath& source,
                              const platform::ResolvedPath& dest, RunState& run, ProgressDisplay& display,
                              std::string& landed);
    // An entry that is not converted after all (skipped, not found): its work is stopped and
    // its temporary file removed.
    void drop(int index);
    // The abort: every conversion stops.
    void cancelAll();

private:
    bool flushesEachFile() const;
    bool start(int index, const std::string& sourceHost);
    void showProgress(int index, int64_t baseBytes, RunState& run, ProgressDisplay& display);
    EntryOutcome commit(int index, platform::PartialFile& partial, const platform::ResolvedPath& dest,
                        RunState& run, ProgressDisplay& display, std::string& landed);
    EntryOutcome removeMovedSource(const platform::ResolvedPath& source, const std::string& landed,
                                   ProgressDisplay& display);

    const CopyOptions& m_options;
    ConvertedEntries m_entries;
    const RunVolume& m_volume;
    unsigned m_ahead;
    int m_nextAhead = 0;
    // Declared before the pool, so that the pool's workers have stopped when these go.
    std::map<int, std::unique_ptr<platform::PartialFile>> m_partials;
    std::unique_ptr<convert::ConversionPool> m_pool;
};

} // namespace copy
