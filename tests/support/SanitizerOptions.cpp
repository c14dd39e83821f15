// Linked into every test binary. Tests check that a failed allocation becomes a clear error, so
// the sanitizer's allocator must return null instead of ending the process.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
