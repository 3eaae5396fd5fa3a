// Under AddressSanitizer (scripts/sanitize-check.sh) GLib, loaded with GStreamer, keeps one
// block that its start-up code allocated for the life of the process, which LeakSanitizer takes
// for a leak. Only that block is let pass: full stacks on allocation let the suppression see
// that it came from a library's start-up (GLib has no frame pointers to follow). Without the
// sanitizers these two functions are never called.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions() {
    return "leak:_dl_init\n";
}
