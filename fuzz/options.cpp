// AddressSanitizer settings for the fuzz targets: short allocation stacks and a small quarantine.
// The rules allocate a few strings per line; with the default thirty frames recorded per
// allocation the fuzzers spent most of their time in the sanitizer's bookkeeping.
extern "C" __attribute__((visibility("default"), used)) const char *__asan_default_options()
{
    return "malloc_context_size=8:quarantine_size_mb=32";
}
