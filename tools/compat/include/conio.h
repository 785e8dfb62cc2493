/* Console input and output for programs written for the old Windows compilers:
 * keys without Enter, the cursor and colours, on this terminal's own escape
 * sequences. The terminal's mode is put back when the program ends, however it ends.
 *
 * Colours set with textcolor/textbackground apply to putch, cputs, cprintf, clrscr
 * and clreol, as they did there; printf and cout keep the terminal's colours. */
#ifndef NOLLEX_CONIO_H
#define NOLLEX_CONIO_H

#ifdef __cplusplus
extern "C" {
#endif

enum COLORS {
    BLACK, BLUE, GREEN, CYAN, RED, MAGENTA, BROWN, LIGHTGRAY,
    DARKGRAY, LIGHTBLUE, LIGHTGREEN, LIGHTCYAN, LIGHTRED, LIGHTMAGENTA, YELLOW, WHITE
};
#define BLINK 128

/* A key without Enter and without echo. Special keys come as two calls, 0 or 224
 * and then the key's code (Up 224,72; F1 0,59); Enter is 13, Backspace 8. When
 * standard input is not a terminal: the next byte, or EOF (-1) at its end. */
int getch(void);
int getche(void);             /* getch, and the key shown */
int kbhit(void);              /* non-zero when a key is waiting; never waits */
int ungetch(int ch);          /* the next getch gives ch */

int putch(int ch);
int cputs(const char* text);  /* the last character written */
int cprintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
/* text[0] holds the room for characters; reads a line into text + 2 and its
 * length into text[1]. */
char* cgets(char* text);

void clrscr(void);
void clreol(void);
void gotoxy(int x, int y);    /* column x, row y, both from 1 */
int wherex(void);
int wherey(void);

void textcolor(int color);    /* BLACK..WHITE, + BLINK */
void textbackground(int color);
void textattr(int attribute); /* foreground + 16 * background (+ BLINK) */
void normvideo(void);         /* the terminal's own colours again */

#ifdef __cplusplus
}
#endif

#endif
