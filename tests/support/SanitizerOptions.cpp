// Linked into every test binary. Tests check that a failed allocation becomes a clear error, so
// the sanitizer's allocator must return null instead of ending the process.
//
// __tls_get_addr is not intercepted: the sanitizer's record of the dynamic TLS blocks it hands
// out goes stale once OpenGL's driver libraries are unloaded at a window's end, and the leak
// check at the process's exit then faults reading one ("Tracer caught signal 11"), failing a
// test that passed. The project's own code is linked in, not loaded: its TLS is still scanned.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:intercept_tls_get_addr=0";
}
