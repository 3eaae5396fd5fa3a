#include "copy/system_transfer.h"

namespace copy {

platform::CopyProgressAnswer CopyProgress(int64_t total, int64_t transferred, const RunState& run,
                                          ProgressDisplay& display) {
    display.SetOverallBar(doneFraction(run.DoneBytes + transferred, run.TotalBytes));
    display.SetFileBar(doneFraction(transferred, total));
    display.view().processPendingMessages();
    bool goOn = run.shell.WorkActive && run.FileGoOn;
    return goOn ? platform::CopyProgressAnswer::Continue : platform::CopyProgressAnswer::Cancel;
}

bool runSystemCopy(const platform::ResolvedPath& source, const platform::ResolvedPath& dest, RunState& run,
                   ProgressDisplay& display, platform::ExistingFile existing,
                   const platform::TakenNameRoutine& onTaken, const platform::WrittenCopyCheck& check) {
    auto progress = [&run, &display](int64_t total, int64_t transferred) {
        return CopyProgress(total, transferred, run, display);
    };
    return platform::systemCopy(source, dest, progress, &run.shell.CopyCancelCell, existing, onTaken, check);
}

platform::MoveResult runSystemMove(const platform::ResolvedPath& source, const platform::ResolvedPath& dest,
                                   const platform::TakenNameRoutine& onTaken,
                                   const platform::MovedCopyCheck& check) {
    return platform::systemMove(source, dest, onTaken, check);
}

} // namespace copy
