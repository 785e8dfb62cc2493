/* Pauses and time for dos.h and windows.h. */
#define _POSIX_C_SOURCE 200809L /* NOLINT(bugprone-reserved-identifier) */
#include "dos.h"
#include "windows.h"

#include <errno.h>
#include <stdio.h>
#include <time.h>
#include <unistd.h>

/* Output written before a pause shows before it, as it did on the console, even
 * without a line break. */
static void pauseFor(unsigned long milliseconds)
{
    fflush(stdout);
    struct timespec left = {(time_t)(milliseconds / 1000), (long)(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

void delay(unsigned milliseconds)
{
    pauseFor(milliseconds);
}

void Sleep(DWORD milliseconds)
{
    pauseFor(milliseconds);
}

DWORD GetTickCount(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const unsigned long long ms = (unsigned long long)now.tv_sec * 1000u + (unsigned long long)now.tv_nsec / 1000000u;
    return (DWORD)(ms & 0xFFFFFFFFu); /* 32 bits, as the original's */
}

BOOL Beep(DWORD frequency, DWORD duration)
{
    (void)frequency; /* a terminal's bell has one tone */
    if (isatty(STDOUT_FILENO))
        putchar('\a');
    pauseFor(duration);
    return TRUE;
}
