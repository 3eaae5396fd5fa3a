#include "copy/run_state.h"

namespace copy {

void Button5Click(RunState& run) {
    run.FileGoOn = false;
}

void requestCancel(ShellFlags& shell) {
    shell.WorkActive = false;
    shell.CopyCancelCell = -1;
}

double doneFraction(int64_t done, int64_t total) {
    if (total <= 0) {
        return 1.0;
    }
    return static_cast<double>(done) / static_cast<double>(total);
}

} // namespace copy
