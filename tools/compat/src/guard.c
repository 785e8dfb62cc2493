/* Linked into every guarded build: a program the run-time checks stop ends
   without the usual exit, and what it had printed but not yet written would be
   lost. The checkers call this back before they end the program. */
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#include <stdio.h>

static void writeBufferedOutput(void)
{
    fflush(NULL);
}

__attribute__((constructor)) static void nollexGuard(void)
{
    /* Each checker's runtime keeps its own callback. */
    __asan_set_death_callback(writeBufferedOutput);
    __sanitizer_set_death_callback(writeBufferedOutput);
}
