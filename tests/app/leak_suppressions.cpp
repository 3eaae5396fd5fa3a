// Under the sanitizer build, LeakSanitizer reads this list: the font configuration library that
// the window loads keeps caches for the life of the process, which are no leak of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}
