/* conio.h on a terminal: keys read in the terminal's non-canonical mode without
 * echo, the cursor and colours through its escape sequences.
 *
 * The terminal is switched only while a key is read (and from kbhit until the next
 * getch, so that keys typed while a program polls are not echoed); the mode found
 * before is put back afterwards, at exit and on the signals that end a program,
 * a stack overflow included. */
#define _XOPEN_SOURCE 700 /* sigaltstack */ /* NOLINT(bugprone-reserved-identifier) */
#include "conio.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

/* How long the rest of an escape sequence, or the terminal's answer to a cursor
 * query, may take to arrive after its first byte. */
enum { kSequenceWaitMs = 50, kReplyWaitMs = 300 };

/* ---- The terminal's mode ---- */

static struct termios savedMode;        /* valid while inKeyMode */
static volatile sig_atomic_t inKeyMode; /* the terminal is in our mode now */

static void restoreTerminal(void)
{
    if (inKeyMode) {
        tcsetattr(STDIN_FILENO, TCSANOW, &savedMode);
        inKeyMode = 0;
    }
}

/* The signals that end a program by default. */
static const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT,
                                     SIGSEGV, SIGBUS, SIGFPE, SIGILL};

static void onEndingSignal(int sig)
{
    /* Only async-signal-safe calls here. The handler was reset to the default by
     * SA_RESETHAND: the raised signal ends the program as it would have. */
    restoreTerminal();
    raise(sig);
}

static void restoreAtExit(void)
{
    restoreTerminal();
}

/* A stack for the handler: a program that ran out of its own stack (endless
 * recursion) gets SIGSEGV where no handler could run, and would end with the
 * terminal still unechoed. Installed only when the program has none of its own. */
static void useSignalStack(void)
{
    static char stack[64 * 1024];
    stack_t old;
    if (sigaltstack(NULL, &old) != 0 || !(old.ss_flags & SS_DISABLE))
        return;
    stack_t ours;
    memset(&ours, 0, sizeof ours);
    ours.ss_sp = stack;
    ours.ss_size = sizeof stack;
    sigaltstack(&ours, NULL);
}

/* Once: restore at exit, and on the ending signals that still have their default
 * action (a program's own handlers stay as they are). */
static void prepareRestore(void)
{
    static int prepared;
    if (prepared)
        return;
    prepared = 1;
    atexit(restoreAtExit);
    useSignalStack();
    for (size_t i = 0; i < sizeof kEndingSignals / sizeof kEndingSignals[0]; ++i) {
        struct sigaction old;
        if (sigaction(kEndingSignals[i], NULL, &old) != 0)
            continue;
        if ((old.sa_flags & SA_SIGINFO) || old.sa_handler != SIG_DFL)
            continue;
        struct sigaction ours;
        memset(&ours, 0, sizeof ours);
        ours.sa_handler = onEndingSignal;
        sigemptyset(&ours.sa_mask);
        ours.sa_flags = SA_RESETHAND | SA_ONSTACK;
        sigaction(kEndingSignals[i], &ours, NULL);
    }
}

/* Keys one by one, unechoed. Output processing and the keys that send signals
 * (Ctrl+C) stay as they were. */
static void enterKeyMode(void)
{
    if (inKeyMode || !isatty(STDIN_FILENO))
        return;
    prepareRestore();
    struct termios mode;
    if (tcgetattr(STDIN_FILENO, &mode) != 0)
        return;
    savedMode = mode;
    /* The handler may restore from savedMode as soon as inKeyMode says so. */
    atomic_signal_fence(memory_order_seq_cst);
    inKeyMode = 1;
    mode.c_lflag &= ~(tcflag_t)(ICANON | ECHO);
    mode.c_cc[VMIN] = 1;
    mode.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &mode);
}

static void leaveKeyMode(void)
{
    restoreTerminal();
}

/* ---- Bytes from the terminal ---- */

/* Bytes read ahead that belong to keys (typed while a cursor query waited). */
static unsigned char aheadBytes[64];
static int aheadCount;

static void keepAhead(int byte)
{
    if (aheadCount < (int)sizeof aheadBytes)
        aheadBytes[aheadCount++] = (unsigned char)byte;
}

/* A byte from standard input; -1 when none came within timeoutMs (negative: wait
 * as long as it takes), -2 at the end of input or on an error. */
static int readTerminal(int timeoutMs)
{
    if (timeoutMs >= 0) {
        struct pollfd p = {STDIN_FILENO, POLLIN, 0};
        int ready;
        do {
            ready = poll(&p, 1, timeoutMs);
        } while (ready < 0 && errno == EINTR);
        if (ready == 0)
            return -1;
    }
    unsigned char byte;
    ssize_t n;
    do {
        n = read(STDIN_FILENO, &byte, 1);
    } while (n < 0 && errno == EINTR);
    return n == 1 ? byte : -2;
}

static int readByte(int timeoutMs)
{
    if (aheadCount > 0) {
        const int byte = aheadBytes[0];
        memmove(aheadBytes, aheadBytes + 1, (size_t)--aheadCount);
        return byte;
    }
    return readTerminal(timeoutMs);
}

static int inputWaiting(void)
{
    if (aheadCount > 0)
        return 1;
    struct pollfd p = {STDIN_FILENO, POLLIN, 0};
    /* End of input and a closed descriptor count as waiting too: reading then
     * gives EOF at once instead of a loop that waits for ever. */
    return poll(&p, 1, 0) > 0;
}

/* ---- Keys ---- */

/* Codes for the next getch: the second half of a special key, or ungetch's. */
static int pendingKeys[8];
static int pendingCount;

static int takePending(void)
{
    const int key = pendingKeys[0];
    --pendingCount;
    memmove(pendingKeys, pendingKeys + 1, (size_t)pendingCount * sizeof pendingKeys[0]);
    return key;
}

static void addPending(int key)
{
    if (pendingCount < (int)(sizeof pendingKeys / sizeof pendingKeys[0]))
        pendingKeys[pendingCount++] = key;
}

struct SpecialKey {
    const char* number; /* the sequence's first parameter, or "" */
    char final;         /* the sequence's last byte */
    int prefix;         /* what the first getch gives: 0 or 224 */
    int code;           /* what the second gives */
};

/* The terminal's sequences for the keys that the old getch gave in two parts. */
static const struct SpecialKey kSpecialKeys[] = {
    {"", 'A', 224, 72},  {"", 'B', 224, 80},  {"", 'C', 224, 77},  {"", 'D', 224, 75},
    {"", 'H', 224, 71},  {"", 'F', 224, 79},  {"1", 'A', 224, 72}, {"1", 'B', 224, 80},
    {"1", 'C', 224, 77}, {"1", 'D', 224, 75}, {"1", 'H', 224, 71}, {"1", 'F', 224, 79},
    {"", 'P', 0, 59},    {"", 'Q', 0, 60},    {"", 'R', 0, 61},    {"", 'S', 0, 62},
    {"1", 'P', 0, 59},   {"1", 'Q', 0, 60},   {"1", 'R', 0, 61},   {"1", 'S', 0, 62},
    {"1", '~', 224, 71}, {"7", '~', 224, 71}, {"4", '~', 224, 79}, {"8", '~', 224, 79},
    {"2", '~', 224, 82}, {"3", '~', 224, 83}, {"5", '~', 224, 73}, {"6", '~', 224, 81},
    {"11", '~', 0, 59},  {"12", '~', 0, 60},  {"13", '~', 0, 61},  {"14", '~', 0, 62},
    {"15", '~', 0, 63},  {"17", '~', 0, 64},  {"18", '~', 0, 65},  {"19", '~', 0, 66},
    {"20", '~', 0, 67},  {"21", '~', 0, 68},  {"23", '~', 224, 133}, {"24", '~', 224, 134},
};

/* One key from the terminal, in key mode. */
static int readKey(void)
{
    for (;;) {
        const int byte = readByte(-1);
        if (byte < 0)
            return EOF;
        if (byte == '\n')
            return 13; /* Enter, as the old getch gave it */
        if (byte == 127)
            return 8; /* Backspace */
        if (byte != 27)
            return byte;

        const int introducer = readByte(kSequenceWaitMs);
        if (introducer < 0)
            return 27; /* Esc alone */
        if (introducer != '[' && introducer != 'O') {
            keepAhead(introducer); /* Alt with a key: Esc, then the key */
            return 27;
        }
        char number[8] = "";
        size_t digits = 0;
        int inFirst = 1;
        int final;
        while ((final = readByte(kSequenceWaitMs)) >= 0x30 && final <= 0x3f) {
            if (final == ';')
                inFirst = 0; /* modifiers (Shift, Ctrl) are not told apart */
            else if (inFirst && digits + 1 < sizeof number)
                number[digits++] = (char)final;
        }
        number[digits] = '\0';
        if (final < 0)
            continue; /* a broken sequence: skip it */
        for (size_t i = 0; i < sizeof kSpecialKeys / sizeof kSpecialKeys[0]; ++i) {
            const struct SpecialKey* k = &kSpecialKeys[i];
            if (k->final == final && strcmp(k->number, number) == 0) {
                addPending(k->code);
                return k->prefix;
            }
        }
        /* A key the old console had no code for: skip it and wait for the next. */
    }
}

int getch(void)
{
    if (pendingCount > 0)
        return takePending();
    if (!isatty(STDIN_FILENO)) {
        fflush(stdout);
        return getchar();
    }
    /* The mode first: a key typed as soon as the prompt shows is not echoed. */
    enterKeyMode();
    fflush(stdout);
    const int key = readKey();
    leaveKeyMode();
    return key;
}

int getche(void)
{
    const int key = getch();
    const int specialPrefix = (key == 0 || key == 224) && pendingCount > 0;
    if (key != EOF && !specialPrefix)
        putch(key);
    return key;
}

int kbhit(void)
{
    if (pendingCount > 0)
        return 1;
    if (isatty(STDIN_FILENO)) {
        /* Stays in key mode until the next getch, so keys typed meanwhile are not
         * echoed; entered before the output shows, as getch does. */
        enterKeyMode();
        fflush(stdout);
        return inputWaiting();
    }
    fflush(stdout);
#ifdef __GLIBC__
    if (stdin->_IO_read_ptr < stdin->_IO_read_end)
        return 1;
#endif
    return inputWaiting();
}

int ungetch(int ch)
{
    if (ch == EOF || pendingCount >= (int)(sizeof pendingKeys / sizeof pendingKeys[0]))
        return EOF;
    memmove(pendingKeys + 1, pendingKeys, (size_t)pendingCount * sizeof pendingKeys[0]);
    pendingKeys[0] = ch;
    ++pendingCount;
    return ch;
}

/* ---- Output in colour ---- */

static int foreground = -1; /* -1: the terminal's own */
static int background = -1;
static int blinking;

static int ansiColour(int colour)
{
    /* BLACK BLUE GREEN CYAN RED MAGENTA BROWN LIGHTGRAY in the terminal's order */
    static const int order[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    return order[colour & 7];
}

static int coloured(void)
{
    return foreground >= 0 || background >= 0 || blinking;
}

static void beginOutput(void)
{
    if (!coloured())
        return;
    fputs("\033[0", stdout);
    if (foreground >= 0)
        printf(";%d", (foreground < 8 ? 30 : 90) + ansiColour(foreground));
    if (background >= 0)
        printf(";%d", (background < 8 ? 40 : 100) + ansiColour(background));
    if (blinking)
        fputs(";5", stdout);
    putchar('m');
}

/* Shown at once, as the console showed it, and in order with printf's output. */
static void endOutput(void)
{
    if (coloured())
        fputs("\033[0m", stdout);
    fflush(stdout);
}

int putch(int ch)
{
    beginOutput();
    putchar(ch);
    endOutput();
    return (unsigned char)ch;
}

int cputs(const char* text)
{
    beginOutput();
    fputs(text, stdout);
    endOutput();
    const size_t length = strlen(text);
    return length > 0 ? (unsigned char)text[length - 1] : 0;
}

int cprintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    beginOutput();
    const int written = vprintf(format, args);
    endOutput();
    va_end(args);
    return written;
}

char* cgets(char* text)
{
    const int room = (unsigned char)text[0];
    int length = 0;
    if (!isatty(STDIN_FILENO)) {
        fflush(stdout);
        int c;
        while ((c = getchar()) != EOF && c != '\n')
            if (c != '\r' && length + 1 < room)
                text[2 + length++] = (char)c;
    } else {
        enterKeyMode();
        fflush(stdout);
        for (;;) {
            const int key = pendingCount > 0 ? takePending() : readKey();
            if (key == EOF || key == 13)
                break;
            if ((key == 0 || key == 224) && pendingCount > 0) {
                takePending(); /* arrows and function keys have no place in a line */
            } else if (key == 8) {
                if (length > 0) {
                    --length;
                    fputs("\b \b", stdout);
                    fflush(stdout);
                }
            } else if (key >= 32 && length + 1 < room) {
                text[2 + length++] = (char)key;
                putchar(key);
                fflush(stdout);
            }
        }
        leaveKeyMode();
        putchar('\n');
        fflush(stdout);
    }
    text[1] = (char)length;
    if (room > 0)
        text[2 + length] = '\0';
    return text + 2;
}

/* ---- The screen and the cursor ---- */

void clrscr(void)
{
    beginOutput(); /* the screen takes the background colour */
    fputs("\033[2J\033[H", stdout);
    endOutput();
}

void clreol(void)
{
    beginOutput();
    fputs("\033[K", stdout);
    endOutput();
}

void gotoxy(int x, int y)
{
    if (x < 1 || y < 1)
        return; /* outside the screen: ignored, as before */
    printf("\033[%d;%dH", y, x);
    fflush(stdout);
}

/* Asks the terminal where the cursor is. Keys typed meanwhile are kept for getch. */
static int cursorPosition(int* row, int* column)
{
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))
        return 0;
    const int wasInKeyMode = inKeyMode;
    enterKeyMode();
    fflush(stdout);
    int found = 0;
    if (write(STDOUT_FILENO, "\033[6n", 4) == 4) {
        char reply[24];
        size_t n = 0;
        for (;;) {
            const int byte = readTerminal(kReplyWaitMs);
            if (byte < 0)
                break;
            const int fits = n == 0   ? byte == 27
                             : n == 1 ? byte == '['
                                      : (byte >= '0' && byte <= '9') || byte == ';' || byte == 'R';
            if (!fits || n + 1 >= sizeof reply) {
                for (size_t i = 0; i < n; ++i)
                    keepAhead((unsigned char)reply[i]);
                n = 0;
                if (byte != 27) {
                    keepAhead(byte);
                    continue;
                }
            }
            reply[n++] = (char)byte;
            if (byte == 'R') {
                reply[n] = '\0';
                found = sscanf(reply, "\033[%d;%dR", row, column) == 2;
                break;
            }
        }
    }
    if (!wasInKeyMode)
        leaveKeyMode();
    return found;
}

int wherex(void)
{
    int row, column;
    return cursorPosition(&row, &column) ? column : 1;
}

int wherey(void)
{
    int row, column;
    return cursorPosition(&row, &column) ? row : 1;
}

void textcolor(int color)
{
    foreground = color & 15;
    blinking = (color & BLINK) != 0;
}

void textbackground(int color)
{
    background = color & 15;
}

void textattr(int attribute)
{
    foreground = attribute & 15;
    background = (attribute >> 4) & 7;
    blinking = (attribute & BLINK) != 0;
}

void normvideo(void)
{
    foreground = -1;
    background = -1;
    blinking = 0;
}
