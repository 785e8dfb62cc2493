/* pause, for system("pause"): asks for a key and waits for one (no Enter needed at
 * a terminal) or for the end of its input. */
#include "conio.h"

#include <stdio.h>

int main(void)
{
    fputs("続行するには何かキーを押してください . . . ", stdout);
    const int key = getch();
    /* The rest of the same key stays out of the program's input. */
    if ((key == 0 || key == 224) && kbhit())
        getch();
    else if (key >= 0xC0 && key < 0xF8) {
        const int following = key >= 0xF0 ? 3 : key >= 0xE0 ? 2 : 1;
        for (int i = 0; i < following && kbhit(); ++i)
            getch();
    }
    putchar('\n');
    return 0;
}
