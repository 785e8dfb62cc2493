/* Linked into every guarded build: a program the run-time checks stop ends
   without the usual exit, and what it had printed but not yet written would be
   lost. The checkers call this back before they end the program. */
#include <stdio.h>

void __asan_set_death_callback(void (*callback)(void));
void __sanitizer_set_death_callback(void (*callback)(void));

static void writeBufferedOutput(void)
{
    fflush(NULL);
}

__attribute__((constructor)) static void nollexGuard(void)
{
    /* The address checker is a shared library; the undefined-behaviour checker
       is linked into the program with its own callback. */
    __asan_set_death_callback(writeBufferedOutput);
    __sanitizer_set_death_callback(writeBufferedOutput);
}
