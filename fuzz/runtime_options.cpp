// Sanitizer options built into every fuzzer, so that a reproducer runs the same without any
// environment. libFuzzer's driver names libstdc++ ahead of the shared ASan runtime; nothing in
// libstdc++ replaces what ASan intercepts except operator new and delete, which end in its malloc
// and free, so that order is safe.
extern "C" const char* __asan_default_options() {
    return "verify_asan_link_order=0:detect_leaks=1:strict_string_checks=1";
}

extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
