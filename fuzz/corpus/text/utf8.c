#include <stdio.h>
// 日本語
int main() { puts("¥"); }
