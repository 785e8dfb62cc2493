/* Pauses from the old DOS-era header: delay in milliseconds, sleep in seconds. */
#ifndef NOLLEX_DOS_H
#define NOLLEX_DOS_H

#ifdef __cplusplus
extern "C" {
#endif

void delay(unsigned milliseconds);

/* The C library's own sleep, declared as <unistd.h> declares it, so that the two
 * headers go together in either order. */
unsigned int sleep(unsigned int seconds);

#ifdef __cplusplus
}
#endif

#endif
