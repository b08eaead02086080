// Sanitizer settings linked into every test program, replay runner and
// fuzzer, so that a sanitizer build reports our faults and not libdvdread's:
// its answer to an absurd table size in a damaged IFO file is a failed
// allocation, which it handles; a program chain whose commands cannot be
// read leaks them; and a thread left running in a disc's endless commands
// holds tables that leak checking at exit sees as lost (matching them needs
// full allocation stacks).
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1:fast_unwind_on_malloc=0";
}

extern "C" const char *__tsan_default_options()
{
    return "allocator_may_return_null=1";
}

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:ifoRead_FP_PGC\n"
           "leak:ifoRead_PGCI_UT\n"
           "leak:ifoRead_PGCIT\n"
           "leak:ifoRead_VOBU_ADMAP\n"
           "leak:ifoRead_VTS_ATRT\n";
}
