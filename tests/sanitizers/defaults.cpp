// The sanitizer build's settings, built into every program of that build: ctest, a test started by
// hand and the game itself all run with the same checks and the same short list of suppressions,
// without anyone having to remember the environment variables. The environment still overrides.
extern "C" {

// Visible, default visibility: the sanitizer runtimes look these up by name at start-up.
__attribute__((visibility("default"), used)) const char *__asan_default_options()
{
    // No strict_string_checks: the X keyboard library hands strndup() counted, unterminated names,
    // which is allowed and which that check would report as an overflow.
    return "detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1";
}

__attribute__((visibility("default"), used)) const char *__lsan_default_options()
{
    return "suppressions=" TROTIX_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

__attribute__((visibility("default"), used)) const char *__ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
}
