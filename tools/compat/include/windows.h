/* A small part of the Windows header, enough for the lessons that use it: Sleep,
 * GetTickCount and Beep. Everything else of the Windows interface is missing here. */
#ifndef NOLLEX_WINDOWS_H
#define NOLLEX_WINDOWS_H

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned long DWORD;
typedef int BOOL;
#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

void Sleep(DWORD milliseconds);
DWORD GetTickCount(void);   /* milliseconds since the machine started; wraps after 49.7 days */
BOOL Beep(DWORD frequency, DWORD duration);  /* the terminal's bell, then waits duration ms */

#ifdef __cplusplus
}
#endif

#endif
