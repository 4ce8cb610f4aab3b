// Linked into every program of the sanitizer build (TARNWELL_SANITIZE): the
// options the sanitizers start with. Options given in ASAN_OPTIONS,
// UBSAN_OPTIONS or LSAN_OPTIONS are read after these and win.

#ifndef TW_LSAN_SUPPRESSIONS
#error "TW_LSAN_SUPPRESSIONS names the leak suppressions file"
#endif

#define TW_SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used)) const char*

// Every finding ends the program with an error; stack-use-after-return and
// the order of the static initialisers are checked too.
TW_SANITIZER_HOOK __asan_default_options()
{
    return "halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:"
           "strict_init_order=1";
}

TW_SANITIZER_HOOK __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

// Leaks inside the system libraries (fonts, OpenGL, GLib, X) are theirs, not
// ours: the file names only those libraries.
TW_SANITIZER_HOOK __lsan_default_options()
{
    return "suppressions=" TW_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
