// Linked into every program of the sanitizer build (TARNWELL_SANITIZE): the
// options the sanitizers start with. Options given in ASAN_OPTIONS,
// UBSAN_OPTIONS or LSAN_OPTIONS are read after these and win.

#ifndef TW_LSAN_SUPPRESSIONS
#error "TW_LSAN_SUPPRESSIONS names the leak suppressions file"
#endif

#define TW_SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used)) const char*

// Every finding ends the program with an error; stack-use-after-return and
// the order of the static initialisers are checked too.
//
// __tls_get_addr is not intercepted. The runtime watches it to learn where
// the thread-local storage of modules loaded at run time lies (Qt's plugins,
// Mesa's driver) and hands those ranges to the leak check as roots. Clang
// 14's runtime takes a block that glibc allocated 16 bytes past a page
// boundary for one of glibc 2.19's, and reads its start and size from the 16
// bytes before it, which are the allocator's header: the leak check at exit
// then scans a range that starts near address 0 and dies ("Tracer caught
// signal 11", "LeakSanitizer has encountered a fatal error"), and the program
// ends with code 1 after all its work went well. Where the block lands
// changes from run to run: one start in three or so of a program showing the
// 3-D window. Those blocks stay roots without it: glibc allocates them with
// malloc and keeps them in each thread's vector of blocks, which hangs from
// the thread's control block, so the leak check reaches them from there.
TW_SANITIZER_HOOK __asan_default_options()
{
    return "halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:"
           "strict_init_order=1:intercept_tls_get_addr=0";
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
