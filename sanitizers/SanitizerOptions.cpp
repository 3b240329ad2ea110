// Run-time options of the sanitizer build. The sanitizer runtimes look these functions up at
// start, so every program of that build checks the same way without any environment; options
// set in the environment still take precedence.

#define PARLIVOX_SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used)) const char*

PARLIVOX_SANITIZER_HOOK __asan_default_options()
{
    return "detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1";
}

// A report names where it happened, not only the line.
PARLIVOX_SANITIZER_HOOK __ubsan_default_options()
{
    return "print_stacktrace=1";
}
