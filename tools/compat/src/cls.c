/* cls, for system("cls"): clears the console and puts the cursor at the top left.
 * Output that is not a terminal is left alone, as the interpreter's own cls does. */
#include <unistd.h>

int main(void)
{
    static const char clear[] = "\033[H\033[2J\033[3J";
    if (isatty(STDOUT_FILENO) && write(STDOUT_FILENO, clear, sizeof clear - 1) < 0)
        return 1;
    return 0;
}
