// Real reports of the run-time checkers, from gcc and g++ 12 on short wrong
// programs written as __out.c or __out.cpp in the page's folder and built and run
// as the guarded run does; one row per kind and checker, C and C++: the kind, the
// place and the words the learner reads. The folder is shown as /home/hana/c/;
// long reports lose their shadow-byte tables and the frames the reader never
// needs (the heap row keeps its report whole). Rows named summary-only hold what
// the address checker's file holds when the rest of its report goes elsewhere.
#include "explain/Explainer.h"

#include <QSet>

#include <gtest/gtest.h>

#include <csignal>

using namespace nollex;

namespace {

struct ReportRow {
    const char* name;  // kind/language/what the report shows
    const char* language;  // "c" or "cpp": the page is main.c or main.cpp
    const char* text;      // the page as built ("" when the window does not know it)
    const char* report;
    const char* kind;
    int line;
    int column;
    const char* explanation;
};

const ReportRow ReportRows[] = {
    {"double-free/c", "c", R"_(#include <stdlib.h>

int main(void)
{
    int *p = malloc(sizeof(int));
    free(p);
    free(p);
    return 0;
}
)_",
     R"_(=================================================================
==26750==ERROR: AddressSanitizer: attempting double-free on 0x602000000010 in thread T0:
    #0 0x7efd554b76a8 in __interceptor_free ../../../../src/libsanitizer/asan/asan_malloc_linux.cpp:52
    #1 0x55657b740196 in main /home/hana/c/__out.c:7

0x602000000010 is located 0 bytes inside of 4-byte region [0x602000000010,0x602000000014)
freed by thread T0 here:
    #0 0x7efd554b76a8 in __interceptor_free ../../../../src/libsanitizer/asan/asan_malloc_linux.cpp:52
    #1 0x55657b74018a in main /home/hana/c/__out.c:6

previously allocated by thread T0 here:
    #0 0x7efd554b89cf in __interceptor_malloc ../../../../src/libsanitizer/asan/asan_malloc_linux.cpp:69
    #1 0x55657b74017a in main /home/hana/c/__out.c:5

SUMMARY: AddressSanitizer: double-free ../../../../src/libsanitizer/asan/asan_malloc_linux.cpp:52 in __interceptor_free
==26750==ABORTING
)_",
     "double-free", 7, 0,
     R"_(main.c 7 行目: 6 行目で解放した領域を、もう一度解放しようとしました。free や delete は確保した一つの領域に一度だけにしてください。)_"},
    {"double-free/cpp", "cpp", R"_(#include <iostream>

int main()
{
    int* p = new int(5);
    delete p;
    delete p;
    std::cout << "done" << std::endl;
    return 0;
}
)_",
     R"_(=================================================================
==31395==ERROR: AddressSanitizer: attempting double-free on 0x602000000010 in thread T0:
    #0 0x55f6842f5c28 in operator delete(void*, unsigned long) (/home/hana/c/main+0x9ec28)
    #1 0x55f68433bf2f in main /home/hana/c/__out.cpp:7

0x602000000010 is located 0 bytes inside of 4-byte region [0x602000000010,0x602000000014)
freed by thread T0 here:
    #0 0x55f6842f5c28 in operator delete(void*, unsigned long) (/home/hana/c/main+0x9ec28)
    #1 0x55f68433bf19 in main /home/hana/c/__out.cpp:6

previously allocated by thread T0 here:
    #0 0x55f6842f4d28 in operator new(unsigned long) (/home/hana/c/main+0x9dd28)
    #1 0x55f68433be9d in main /home/hana/c/__out.cpp:5

SUMMARY: AddressSanitizer: double-free (/home/hana/c/main+0x9ec28) in operator delete(void*, unsigned long)
==31395==ABORTING
)_",
     "double-free", 7, 0,
     R"_(main.cpp 7 行目: 6 行目で解放した領域を、もう一度解放しようとしました。free や delete は確保した一つの領域に一度だけにしてください。)_"},
    {"double-free/cpp/summary-only", "cpp", R"_(#include <iostream>

int main()
{
    int* p = new int(5);
    delete p;
    delete p;
    std::cout << "done" << std::endl;
    return 0;
}
)_",
     R"_(SUMMARY: AddressSanitizer: double-free ../../../../src/libsanitizer/asan/asan_new_delete.cpp:164 in operator delete(void*, unsigned long)
)_",
     "double-free", 0, 0,
     R"_(main.cpp: 解放済みの領域を、もう一度解放しようとしました。free や delete は確保した一つの領域に一度だけにしてください。)_"},
    {"heap-out-of-bounds/c", "c", R"_(#include <stdio.h>
#include <stdlib.h>

int main(void)
{
    int *p = malloc(5 * sizeof(int));
    for (int i = 0; i <= 5; i++)
        p[i] = i;
    printf("%d\n", p[0]);
    free(p);
    return 0;
}
)_",
     R"_(=================================================================
==30677==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x603000000054 at pc 0x55f3e7898f27 bp 0x7fff40075860 sp 0x7fff40075858
WRITE of size 4 at 0x603000000054 thread T0
    #0 0x55f3e7898f26 in main /home/hana/c/__out.c:8
    #1 0x7f7e77c43249 in __libc_start_call_main ../sysdeps/nptl/libc_start_call_main.h:58
    #2 0x7f7e77c43304 in __libc_start_main_impl ../csu/libc-start.c:360
    #3 0x55f3e77bd390 in _start (/home/hana/c/main+0x9390)

0x603000000054 is located 0 bytes to the right of 20-byte region [0x603000000040,0x603000000054)
allocated by thread T0 here:
    #0 0x55f3e78511ff in malloc (/home/hana/c/main+0x9d1ff)
    #1 0x55f3e7898e6c in main /home/hana/c/__out.c:6
    #2 0x7f7e77c43249 in __libc_start_call_main ../sysdeps/nptl/libc_start_call_main.h:58

SUMMARY: AddressSanitizer: heap-buffer-overflow /home/hana/c/__out.c:8 in main
Shadow bytes around the buggy address:
  0x0c067fff7fb0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
  0x0c067fff7fc0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
  0x0c067fff7fd0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
  0x0c067fff7fe0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
  0x0c067fff7ff0: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
=>0x0c067fff8000: fa fa 00 00 00 fa fa fa 00 00[04]fa fa fa fa fa
  0x0c067fff8010: fa fa fa fa fa fa fa fa fa fa fa fa fa fa fa fa
  0x0c067fff8020: fa fa fa fa fa fa fa fa fa fa fa fa fa fa fa fa
  0x0c067fff8030: fa fa fa fa fa fa fa fa fa fa fa fa fa fa fa fa
  0x0c067fff8040: fa fa fa fa fa fa fa fa fa fa fa fa fa fa fa fa
  0x0c067fff8050: fa fa fa fa fa fa fa fa fa fa fa fa fa fa fa fa
Shadow byte legend (one shadow byte represents 8 application bytes):
  Addressable:           00
  Partially addressable: 01 02 03 04 05 06 07 
  Heap left redzone:       fa
  Freed heap region:       fd
  Stack left redzone:      f1
  Stack mid redzone:       f2
  Stack right redzone:     f3
  Stack after return:      f5
  Stack use after scope:   f8
  Global redzone:          f9
  Global init order:       f6
  Poisoned by user:        f7
  Container overflow:      fc
  Array cookie:            ac
  Intra object redzone:    bb
  ASan internal:           fe
  Left alloca redzone:     ca
  Right alloca redzone:    cb
==30677==ABORTING
)_",
     "heap-out-of-bounds", 8, 0,
     R"_(main.c 8 行目: malloc や new（vector の中身も）で確保した領域の大きさは 5 で、使える番号は 0〜4 です。5 番を使おうとしました。確保した大きさと番号の計算を確かめてください。)_"},
    {"heap-out-of-bounds/cpp/new", "cpp", R"_(#include <iostream>

int main()
{
    int n = 4;
    int* a = new int[n];
    for (int i = 0; i <= n; i++)
        a[i] = i * i;
    std::cout << a[0] << std::endl;
    delete[] a;
    return 0;
}
)_",
     R"_(=================================================================
==31329==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x602000000020 at pc 0x5575e9250fb7 bp 0x7ffc8397da90 sp 0x7ffc8397da88
WRITE of size 4 at 0x602000000020 thread T0
    #0 0x5575e9250fb6 in main /home/hana/c/__out.cpp:8

0x602000000020 is located 0 bytes to the right of 16-byte region [0x602000000010,0x602000000020)
allocated by thread T0 here:
    #0 0x5575e9209e98 in operator new[](unsigned long) (/home/hana/c/main+0x9ee98)
    #1 0x5575e9250eca in main /home/hana/c/__out.cpp:6

SUMMARY: AddressSanitizer: heap-buffer-overflow /home/hana/c/__out.cpp:8 in main
==31329==ABORTING
)_",
     "heap-out-of-bounds", 8, 0,
     R"_(main.cpp 8 行目: malloc や new（vector の中身も）で確保した領域の大きさは 4 で、使える番号は 0〜3 です。4 番を使おうとしました。確保した大きさと番号の計算を確かめてください。)_"},
    {"heap-out-of-bounds/cpp/vector", "cpp", R"_(#include <iostream>
#include <vector>

int main()
{
    std::vector<int> v(5);
    for (int i = 0; i <= 5; i++)
        v[i] = i;
    std::cout << v[0] << std::endl;
    return 0;
}
)_",
     R"_(=================================================================
==31211==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x603000000054 at pc 0x55ff983d202c bp 0x7ffe9bbfc690 sp 0x7ffe9bbfc688
WRITE of size 4 at 0x603000000054 thread T0
    #0 0x55ff983d202b in main /home/hana/c/__out.cpp:8

0x603000000054 is located 0 bytes to the right of 20-byte region [0x603000000040,0x603000000054)
allocated by thread T0 here:
    #0 0x55ff9838ad68 in operator new(unsigned long) (/home/hana/c/main+0xa0d68)
    #1 0x55ff983d3a16 in std::__new_allocator<int>::allocate(unsigned long, void const*) /usr/include/c++/12/bits/new_allocator.h:137
    #2 0x55ff983d387d in std::allocator_traits<std::allocator<int> >::allocate(std::allocator<int>&, unsigned long) /usr/include/c++/12/bits/alloc_traits.h:464
    #3 0x55ff983d377a in std::_Vector_base<int, std::allocator<int> >::_M_allocate(unsigned long) /usr/include/c++/12/bits/stl_vector.h:378
    #4 0x55ff983d31fa in std::_Vector_base<int, std::allocator<int> >::_M_create_storage(unsigned long) /usr/include/c++/12/bits/stl_vector.h:395
    #5 0x55ff983d2ae0 in std::_Vector_base<int, std::allocator<int> >::_Vector_base(unsigned long, std::allocator<int> const&) /usr/include/c++/12/bits/stl_vector.h:332
    #6 0x55ff983d255a in std::vector<int, std::allocator<int> >::vector(unsigned long, std::allocator<int> const&) /usr/include/c++/12/bits/stl_vector.h:552
    #7 0x55ff983d1f81 in main /home/hana/c/__out.cpp:6

SUMMARY: AddressSanitizer: heap-buffer-overflow /home/hana/c/__out.cpp:8 in main
==31211==ABORTING
)_",
     "heap-out-of-bounds", 8, 0,
     R"_(main.cpp 8 行目: malloc や new（vector の中身も）で確保した領域の大きさは 5 で、使える番号は 0〜4 です。5 番を使おうとしました。確保した大きさと番号の計算を確かめてください。)_"},
    {"index-out-of-bounds/c/bounds-checker", "c", R"_(#include <stdio.h>

int main(void)
{
    int a[5];
    for (int i = 0; i < 5; i++)
        a[i] = i;
    a[5] = 10;
    printf("%d\n", a[0]);
    return 0;
}
)_",
     R"_(__out.c:8:6: runtime error: index 5 out of bounds for type 'int [5]'
    #0 0x5596fc17560a in main /home/hana/c/__out.c:8

)_",
     "index-out-of-bounds", 8, 6,
     R"_(main.c 8 行目: 配列 a の大きさは 5 で、使える番号は 0〜4 です。5 番を使おうとしました。番号の計算やループの条件（< と <= の違いなど）を確かめてください。)_"},
    {"index-out-of-bounds/c/global", "c", R"_(#include <stdio.h>

int scores[5];

int sum(const int *p, int n)
{
    int s = 0;
    for (int i = 0; i <= n; i++)
        s += p[i];
    return s;
}

int main(void)
{
    printf("%d\n", sum(scores, 5));
    return 0;
}
)_",
     R"_(=================================================================
==30617==ERROR: AddressSanitizer: global-buffer-overflow on address 0x55e80d5ceaf4 at pc 0x55e80d027f27 bp 0x7fff973c3dd0 sp 0x7fff973c3dc8
READ of size 4 at 0x55e80d5ceaf4 thread T0
    #0 0x55e80d027f26 in sum /home/hana/c/__out.c:9
    #1 0x55e80d027f9c in main /home/hana/c/__out.c:15

0x55e80d5ceaf4 is located 0 bytes to the right of global variable 'scores' defined in '__out.c:3:5' (0x55e80d5ceae0) of size 20
SUMMARY: AddressSanitizer: global-buffer-overflow /home/hana/c/__out.c:9 in sum
==30617==ABORTING
)_",
     "index-out-of-bounds", 9, 0,
     R"_(main.c 9 行目: 配列 scores の大きさは 5 で、使える番号は 0〜4 です。5 番を使おうとしました。番号の計算やループの条件（< と <= の違いなど）を確かめてください。)_"},
    {"string-function-overflow/c/strcpy-long-name", "c", R"_(#include <stdio.h>
#include <string.h>

int main(void)
{
    char name[8];
    strcpy(name, "Hanako Yamada");
    printf("%s\n", name);
    return 0;
}
)_",
     R"_(=================================================================
==11382==ERROR: AddressSanitizer: stack-buffer-overflow on address 0x7ffc6e4a8098 at pc 0x55e1fe89f8b1 bp 0x7ffc6e4a8060 sp 0x7ffc6e4a7810
WRITE of size 14 at 0x7ffc6e4a8098 thread T0
    #0 0x55e1fe89f8b0 in memcpy (/home/hana/c/main+0x2b8b0)
    #1 0x55e1fe957ec9 in main /home/hana/c/__out.c:7

Address 0x7ffc6e4a8098 is located in stack of thread T0 at offset 40 in frame
    #0 0x55e1fe957e4a in main /home/hana/c/__out.c:5

  This frame has 1 object(s):
    [32, 40) 'name' (line 6) <== Memory access at offset 40 overflows this variable
SUMMARY: AddressSanitizer: stack-buffer-overflow (/home/hana/c/main+0x2b8b0) in memcpy
==11382==ABORTING
)_",
     "string-function-overflow", 7, 0,
     R"_(main.c 7 行目: 文字列の関数（strcpy・strcat・strlen など）が、配列 name の範囲の外まで読み書きしました。配列が文字列の長さと終わりの '\0' の 1 文字分より大きいか、文字列が '\0' で終わっているか確かめてください。)_"},
    {"index-out-of-bounds/c/no-page-text", "c", R"_()_",
     R"_(__out.c:8:6: runtime error: index 5 out of bounds for type 'int [5]'
    #0 0x5596fc17560a in main /home/hana/c/__out.c:8

)_",
     "index-out-of-bounds", 8, 6,
     R"_(main.c 8 行目: 配列の大きさは 5 で、使える番号は 0〜4 です。5 番を使おうとしました。番号の計算やループの条件（< と <= の違いなど）を確かめてください。)_"},
    {"index-out-of-bounds/c/stack-summary-only", "c", R"_(#include <stdio.h>

void fill(int *p, int n)
{
    for (int i = 0; i <= n; i++)
        p[i] = i;
}

int main(void)
{
    int a[5];
    fill(a, 5);
    printf("%d\n", a[0]);
    return 0;
}
)_",
     R"_(SUMMARY: AddressSanitizer: stack-buffer-overflow /home/hana/c/__out.c:6 in fill
)_",
     "index-out-of-bounds", 6, 0,
     R"_(main.c 6 行目: 配列の範囲の外を使おうとしました。番号の計算やループの条件、文字列の長さを確かめてください。)_"},
    {"index-out-of-bounds/c/stack-variable", "c", R"_(#include <stdio.h>

void fill(int *p, int n)
{
    for (int i = 0; i <= n; i++)
        p[i] = i;
}

int main(void)
{
    int a[5];
    fill(a, 5);
    printf("%d\n", a[0]);
    return 0;
}
)_",
     R"_(=================================================================
==30566==ERROR: AddressSanitizer: stack-buffer-overflow on address 0x7fff73290234 at pc 0x5614035eaf20 bp 0x7fff732901c0 sp 0x7fff732901b8
WRITE of size 4 at 0x7fff73290234 thread T0
    #0 0x5614035eaf1f in fill /home/hana/c/__out.c:6
    #1 0x5614035eafec in main /home/hana/c/__out.c:12

Address 0x7fff73290234 is located in stack of thread T0 at offset 52 in frame
    #0 0x5614035eaf6b in main /home/hana/c/__out.c:10

  This frame has 1 object(s):
    [32, 52) 'a' (line 11) <== Memory access at offset 52 overflows this variable
SUMMARY: AddressSanitizer: stack-buffer-overflow /home/hana/c/__out.c:6 in fill
==30566==ABORTING
)_",
     "index-out-of-bounds", 6, 0,
     R"_(main.c 6 行目: 配列 a の大きさは 5 で、使える番号は 0〜4 です。5 番を使おうとしました。番号の計算やループの条件（< と <= の違いなど）を確かめてください。)_"},
    {"index-out-of-bounds/cpp/bounds-checker", "cpp", R"_(#include <iostream>

int main()
{
    int data[3] = {1, 2, 3};
    int sum = 0;
    for (int i = 0; i <= 3; i++)
        sum += data[i];
    std::cout << sum << std::endl;
    return 0;
}
)_",
     R"_(__out.cpp:8:22: runtime error: index 3 out of bounds for type 'int [3]'
    #0 0x5653ce8e7614 in main /home/hana/c/__out.cpp:8

)_",
     "index-out-of-bounds", 8, 22,
     R"_(main.cpp 8 行目: 配列 data の大きさは 3 で、使える番号は 0〜2 です。3 番を使おうとしました。番号の計算やループの条件（< と <= の違いなど）を確かめてください。)_"},
    {"index-out-of-bounds/cpp/inner-array", "cpp", R"_(int main()
{
    int a[5];
    a[0] = 1;
    int m[3][4] = {};
    int j = 4;
    m[1][j] = 2;
    return a[0] + m[0][0];
}
)_",
     R"_(__out.cpp:7:11: runtime error: index 4 out of bounds for type 'int [4]'
    #0 0x562b768f65af in main /home/hana/c/__out.cpp:7

)_",
     "index-out-of-bounds", 7, 11,
     R"_(main.cpp 7 行目: 配列の大きさは 4 で、使える番号は 0〜3 です。4 番を使おうとしました。番号の計算やループの条件（< と <= の違いなど）を確かめてください。)_"},
    {"integer-division-by-zero/c", "c", R"_(#include <stdio.h>

int main(void)
{
    int total = 10, count = 0;
    printf("%d\n", total / count);
    return 0;
}
)_",
     R"_(__out.c:6:26: runtime error: division by zero
    #0 0x55d9bde4e4a4 in main /home/hana/c/__out.c:6

)_",
     "integer-division-by-zero", 6, 26,
     R"_(main.c 6 行目: 整数を 0 で割ろうとしました。割る数が 0 でないことを if で確かめてから割ってください。)_"},
    {"integer-division-by-zero/cpp", "cpp", R"_(#include <iostream>

int average(int total, int count)
{
    return total / count;
}

int main()
{
    std::cout << average(10, 0) << std::endl;
    return 0;
}
)_",
     R"_(__out.cpp:5:18: runtime error: division by zero
    #0 0x55d791f3c4ec in average(int, int) /home/hana/c/__out.cpp:5
    #1 0x55d791f3c5ec in main /home/hana/c/__out.cpp:10

)_",
     "integer-division-by-zero", 5, 18,
     R"_(main.cpp 5 行目: 整数を 0 で割ろうとしました。割る数が 0 でないことを if で確かめてから割ってください。)_"},
    {"invalid-free/c", "c", R"_(#include <stdlib.h>

int main(void)
{
    int x = 1;
    int *p = &x;
    free(p);
    return 0;
}
)_",
     R"_(=================================================================
==26763==ERROR: AddressSanitizer: attempting free on address which was not malloc()-ed: 0x7ffdcdf690d0 in thread T0
    #0 0x7fe32f6b76a8 in __interceptor_free ../../../../src/libsanitizer/asan/asan_malloc_linux.cpp:52
    #1 0x555694734234 in main /home/hana/c/__out.c:7

Address 0x7ffdcdf690d0 is located in stack of thread T0 at offset 32 in frame
    #0 0x555694734188 in main /home/hana/c/__out.c:4

  This frame has 1 object(s):
    [32, 36) 'x' (line 5) <== Memory access at offset 32 is inside this variable
SUMMARY: AddressSanitizer: bad-free ../../../../src/libsanitizer/asan/asan_malloc_linux.cpp:52 in __interceptor_free
==26763==ABORTING
)_",
     "invalid-free", 7, 0,
     R"_(main.c 7 行目: malloc や new で確保していない変数 x の場所を解放しようとしました。free や delete に渡すのは、malloc や new が返したポインタだけにしてください。)_"},
    {"null-pointer/c/passed", "c", R"_(#include <stdio.h>
#include <string.h>

int main(void)
{
    char *s = NULL;
    char buf[16];
    strcpy(buf, s);
    printf("%s\n", buf);
    return 0;
}
)_",
     R"_(__out.c:8:5: runtime error: null pointer passed as argument 2, which is declared to never be null
    #0 0x55ec1a74b4ff in main /home/hana/c/__out.c:8

)_",
     "null-pointer", 8, 5,
     R"_(main.c 8 行目: NULL（どこも指していないポインタ）の指す先を使おうとしました。ポインタに変数のアドレスや malloc・new の結果を入れてから使っているか、NULL かどうか確かめてから使っているか見直してください。)_"},
    {"null-pointer/c/store", "c", R"_(#include <stdio.h>

int main(void)
{
    int *p = NULL;
    *p = 3;
    printf("%d\n", *p);
    return 0;
}
)_",
     R"_(__out.c:6:8: runtime error: store to null pointer of type 'int'
    #0 0x563c45bcb480 in main /home/hana/c/__out.c:6

)_",
     "null-pointer", 6, 8,
     R"_(main.c 6 行目: NULL（どこも指していないポインタ）の指す先を使おうとしました。ポインタに変数のアドレスや malloc・new の結果を入れてから使っているか、NULL かどうか確かめてから使っているか見直してください。)_"},
    {"segmentation-fault/c/null-plus-index", "c", R"_(#include <stdio.h>

int main(void)
{
    int *p = NULL;
    p[100] = 1;
    printf("%d\n", p[100]);
    return 0;
}
)_",
     R"_(=================================================================
==30731==ERROR: AddressSanitizer: SEGV on unknown address 0x000000000190 (pc 0x55b1f8e1eefa bp 0x7fffc183e990 sp 0x7fffc183e980 T0)
==30731==The signal is caused by a WRITE memory access.
==30731==Hint: address points to the zero page.
    #0 0x55b1f8e1eefa in main /home/hana/c/__out.c:6

AddressSanitizer can not provide additional info.
SUMMARY: AddressSanitizer: SEGV /home/hana/c/__out.c:6 in main
==30731==ABORTING
)_",
     "segmentation-fault", 6, 0,
     R"_(main.c 6 行目: 使ってはいけない場所のメモリを読み書きしようとして、プログラムが止められました（セグメンテーション違反）。ポインタに正しいアドレスが入っているか（初期化し忘れ、解放済み、範囲の外の番号）、"…" の文字列に書き込んでいないか確かめてください。)_"},
    {"null-pointer/cpp/member", "cpp", R"_(#include <iostream>

struct Node {
    int value;
    Node* next;
};

int main()
{
    Node* head = nullptr;
    std::cout << head->value << std::endl;
    return 0;
}
)_",
     R"_(__out.cpp:11:24: runtime error: member access within null pointer of type 'struct Node'
    #0 0x55996f3a25ad in main /home/hana/c/__out.cpp:11

)_",
     "null-pointer", 11, 24,
     R"_(main.cpp 11 行目: NULL（どこも指していないポインタ）の指す先を使おうとしました。ポインタに変数のアドレスや malloc・new の結果を入れてから使っているか、NULL かどうか確かめてから使っているか見直してください。)_"},
    {"segmentation-fault/c", "c", R"_(#include <stdio.h>

int main(void)
{
    int *p = (int *)0x12345678;
    *p = 1;
    printf("%d\n", *p);
    return 0;
}
)_",
     R"_(=================================================================
==30790==ERROR: AddressSanitizer: SEGV on unknown address 0x000012345678 (pc 0x55bf52957ece bp 0x7ffce851e670 sp 0x7ffce851e660 T0)
==30790==The signal is caused by a WRITE memory access.
    #0 0x55bf52957ece in main /home/hana/c/__out.c:6

AddressSanitizer can not provide additional info.
SUMMARY: AddressSanitizer: SEGV /home/hana/c/__out.c:6 in main
==30790==ABORTING
)_",
     "segmentation-fault", 6, 0,
     R"_(main.c 6 行目: 使ってはいけない場所のメモリを読み書きしようとして、プログラムが止められました（セグメンテーション違反）。ポインタに正しいアドレスが入っているか（初期化し忘れ、解放済み、範囲の外の番号）、"…" の文字列に書き込んでいないか確かめてください。)_"},
    {"segmentation-fault/c/summary-only", "c", R"_(#include <stdio.h>

int main(void)
{
    int *p = (int *)0x12345678;
    *p = 1;
    printf("%d\n", *p);
    return 0;
}
)_",
     R"_(SUMMARY: AddressSanitizer: SEGV /home/hana/c/__out.c:6 in main
)_",
     "segmentation-fault", 6, 0,
     R"_(main.c 6 行目: 使ってはいけない場所のメモリを読み書きしようとして、プログラムが止められました（セグメンテーション違反）。ポインタに正しいアドレスが入っているか（初期化し忘れ、解放済み、範囲の外の番号）、"…" の文字列に書き込んでいないか確かめてください。)_"},
    {"signed-overflow/c", "c", R"_(#include <stdio.h>
#include <limits.h>

int main(void)
{
    int x = INT_MAX;
    x = x + 1;
    printf("%d\n", x);
    return 0;
}
)_",
     R"_(__out.c:7:7: runtime error: signed integer overflow: 2147483647 + 1 cannot be represented in type 'int'
    #0 0x5576a1d0046b in main /home/hana/c/__out.c:7

)_",
     "signed-overflow", 7, 7,
     R"_(main.c 7 行目: 計算 2147483647 + 1 の結果が int 型で表せる範囲を超えました（オーバーフロー）。もっと広い型（long long など）を使うか、値が大きくなりすぎない計算にしてください。)_"},
    {"stack-overflow/c", "c", R"_(#include <stdio.h>

int f(int n)
{
    return f(n + 1) + 1;
}

int main(void)
{
    printf("%d\n", f(0));
    return 0;
}
)_",
     R"_(=================================================================
==30917==ERROR: AddressSanitizer: stack-overflow on address 0x7ffd2387fffc (pc 0x55c385deae63 bp 0x7ffd23880000 sp 0x7ffd2387fff0 T0)
    #0 0x55c385deae63 in f /home/hana/c/__out.c:4
    #1 0x55c385deae90 in f /home/hana/c/__out.c:5
    #2 0x55c385deae90 in f /home/hana/c/__out.c:5

SUMMARY: AddressSanitizer: stack-overflow /home/hana/c/__out.c:4 in f
==30917==ABORTING
)_",
     "stack-overflow", 4, 0,
     R"_(main.c 4 行目: 関数 f の呼び出しが終わらないまま深くなりすぎ、スタックがあふれました。再帰には止まる条件が要ります。その条件に必ず届くか確かめてください。)_"},
    {"use-after-free/c", "c", R"_(#include <stdio.h>
#include <stdlib.h>

int main(void)
{
    int *p = malloc(3 * sizeof(int));
    p[0] = 1;
    free(p);
    printf("%d\n", p[0]);
    return 0;
}
)_",
     R"_(=================================================================
==30853==ERROR: AddressSanitizer: heap-use-after-free on address 0x602000000010 at pc 0x563803caaf45 bp 0x7fffce4827a0 sp 0x7fffce482798
READ of size 4 at 0x602000000010 thread T0
    #0 0x563803caaf44 in main /home/hana/c/__out.c:9

0x602000000010 is located 0 bytes inside of 12-byte region [0x602000000010,0x60200000001c)
freed by thread T0 here:
    #0 0x563803c61ed8 in __interceptor_free.part.0 (/home/hana/c/main+0x9bed8)
    #1 0x563803caaee5 in main /home/hana/c/__out.c:8

previously allocated by thread T0 here:
    #0 0x563803c631ff in malloc (/home/hana/c/main+0x9d1ff)
    #1 0x563803caae6c in main /home/hana/c/__out.c:6

SUMMARY: AddressSanitizer: heap-use-after-free /home/hana/c/__out.c:9 in main
==30853==ABORTING
)_",
     "use-after-free", 9, 0,
     R"_(main.c 9 行目: 8 行目で解放（free や delete）した領域を、その後で使おうとしました。使い終わってから解放するか、解放したポインタには NULL を入れて使わないようにしてください。)_"},
    {"use-after-free/cpp/summary-only", "cpp", R"_(#include <iostream>
#include <vector>

int main()
{
    std::vector<int> v = {1, 2, 3};
    int& first = v[0];
    v.push_back(4);
    first = 10;
    std::cout << v[0] << std::endl;
    return 0;
}
)_",
     R"_(SUMMARY: AddressSanitizer: heap-use-after-free /home/hana/c/__out.cpp:9 in main
)_",
     "use-after-free", 9, 0,
     R"_(main.cpp 9 行目: 解放（free や delete）した領域を、その後で使おうとしました。使い終わってから解放するか、解放したポインタには NULL を入れて使わないようにしてください。)_"},
    {"vector-moved/cpp", "cpp", R"_(#include <iostream>
#include <vector>

int main()
{
    std::vector<int> v = {1, 2, 3};
    int& first = v[0];
    v.push_back(4);
    first = 10;
    std::cout << v[0] << std::endl;
    return 0;
}
)_",
     R"_(=================================================================
==31067==ERROR: AddressSanitizer: heap-use-after-free on address 0x602000000010 at pc 0x5607b42521c6 bp 0x7ffd8487b470 sp 0x7ffd8487b468
WRITE of size 4 at 0x602000000010 thread T0
    #0 0x5607b42521c5 in main /home/hana/c/__out.cpp:9

0x602000000010 is located 0 bytes inside of 12-byte region [0x602000000010,0x60200000001c)
freed by thread T0 here:
    #0 0x5607b420bc68 in operator delete(void*, unsigned long) (/home/hana/c/main+0xa5c68)
    #1 0x5607b4255a52 in std::__new_allocator<int>::deallocate(int*, unsigned long) /usr/include/c++/12/bits/new_allocator.h:158
    #2 0x5607b4254c34 in std::allocator_traits<std::allocator<int> >::deallocate(std::allocator<int>&, int*, unsigned long) /usr/include/c++/12/bits/alloc_traits.h:496
    #3 0x5607b42539ea in std::_Vector_base<int, std::allocator<int> >::_M_deallocate(int*, unsigned long) /usr/include/c++/12/bits/stl_vector.h:387
    #4 0x5607b4254609 in void std::vector<int, std::allocator<int> >::_M_realloc_insert<int>(__gnu_cxx::__normal_iterator<int*, std::vector<int, std::allocator<int> > >, int&&) /usr/include/c++/12/bits/vector.tcc:513
    #5 0x5607b4253887 in int& std::vector<int, std::allocator<int> >::emplace_back<int>(int&&) /usr/include/c++/12/bits/vector.tcc:123
    #6 0x5607b4252bf3 in std::vector<int, std::allocator<int> >::push_back(int&&) /usr/include/c++/12/bits/stl_vector.h:1294
    #7 0x5607b425214c in main /home/hana/c/__out.cpp:8

previously allocated by thread T0 here:
    #0 0x5607b420ad68 in operator new(unsigned long) (/home/hana/c/main+0xa4d68)
    #1 0x5607b4255bce in std::__new_allocator<int>::allocate(unsigned long, void const*) /usr/include/c++/12/bits/new_allocator.h:137
    #2 0x5607b4254e3b in std::allocator_traits<std::allocator<int> >::allocate(std::allocator<int>&, unsigned long) /usr/include/c++/12/bits/alloc_traits.h:464
    #3 0x5607b4253c46 in std::_Vector_base<int, std::allocator<int> >::_M_allocate(unsigned long) /usr/include/c++/12/bits/stl_vector.h:378
    #4 0x5607b425318c in void std::vector<int, std::allocator<int> >::_M_range_initialize<int const*>(int const*, int const*, std::forward_iterator_tag) /usr/include/c++/12/bits/stl_vector.h:1687
    #5 0x5607b42527ef in std::vector<int, std::allocator<int> >::vector(std::initializer_list<int>, std::allocator<int> const&) /usr/include/c++/12/bits/stl_vector.h:677
    #6 0x5607b4252060 in main /home/hana/c/__out.cpp:6

SUMMARY: AddressSanitizer: heap-use-after-free /home/hana/c/__out.cpp:9 in main
==31067==ABORTING
)_",
     "vector-moved", 9, 0,
     R"_(main.cpp 9 行目: vector の要素を指すポインタか参照を使いましたが、8 行目の push_back で vector の要素は別の場所へ移っていて、指す先はもうありません。要素を足した後はポインタや参照を取り直すか、v[i] のように番号で使ってください。)_"},
    {"misaligned-address/c", "c", R"_(#include <stdio.h>

int main(void)
{
    char buf[8] = {0};
    int *p = (int *)(buf + 1);
    printf("%d\n", *p);
    return 0;
}
)_",
     R"_(__out.c:7:5: runtime error: load of misaligned address 0x7fa27bb00021 for type 'int', which requires 4 byte alignment
0x7fa27bb00021: note: pointer points here
 7f 00 00  00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  00 80 af 7b a2
              ^ 
    #0 0x556472ea3f4d in main /home/hana/c/__out.c:7
)_",
     "misaligned-address", 7, 5,
     R"_(main.c 7 行目: int 型の値は 4 バイトの倍数の番地に置かれますが、ずれた番地を指すポインタで読み書きしました。char の配列の途中などを別の型のポインタに変えて（キャストして）使っていないか確かめてください。)_"},
    {"insufficient-space/c/optimised", "c", R"_(#include <stdio.h>
#include <stdlib.h>

struct point {
    int x;
    int y;
};

int main(void)
{
    struct point *p = malloc(sizeof(struct point *) / 2);
    p->y = 2;
    printf("%d\n", p->y);
    free(p);
    return 0;
}
)_",
     R"_(__out.c:12:10: runtime error: store to address 0x602000000014 with insufficient space for an object of type 'int'
0x602000000014: note: pointer points here
  be be be be 00 00 00 00  00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00
              ^ 
    #0 0x55e88f4e13a8 in main /home/hana/c/__out.c:12
)_",
     "insufficient-space", 12, 10,
     R"_(main.c 12 行目: 確保した領域が小さすぎて、int 型の値が入りきりません。malloc に渡す大きさを、sizeof(型) × 個数 になっているか確かめてください（ポインタの大きさ sizeof(型 *) ではありません）。)_"},
    {"struct-too-small/c", "c", R"_(#include <stdio.h>
#include <stdlib.h>

struct point {
    int x;
    int y;
};

int main(void)
{
    struct point *p = malloc(sizeof(struct point *) / 2);
    p->y = 2;
    printf("%d\n", p->y);
    free(p);
    return 0;
}
)_",
     R"_(=================================================================
==26235==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x602000000014 at pc 0x5594d26e2ef8 bp 0x7ffc3b0b07a0 sp 0x7ffc3b0b0798
WRITE of size 4 at 0x602000000014 thread T0
    #0 0x5594d26e2ef7 in main /home/hana/c/__out.c:12

0x602000000014 is located 0 bytes to the right of 4-byte region [0x602000000010,0x602000000014)
allocated by thread T0 here:
    #0 0x5594d269b1ff in malloc (/home/hana/c/main+0x9d1ff)
    #1 0x5594d26e2e6c in main /home/hana/c/__out.c:11

SUMMARY: AddressSanitizer: heap-buffer-overflow /home/hana/c/__out.c:12 in main
==26235==ABORTING
)_",
     "struct-too-small", 12, 0,
     R"_(main.c 12 行目: malloc で確保した領域が小さすぎて、構造体のメンバーが入りきりません。malloc に渡す大きさが sizeof(構造体の型) × 個数 になっているか確かめてください（ポインタの大きさ sizeof(型 *) ではありません）。)_"},
    {"missing-return-at-run/cpp", "cpp", R"_(#include <iostream>

int sign(int x)
{
    if (x > 0)
        return 1;
}

int main()
{
    std::cout << sign(-3) << std::endl;
    return 0;
}
)_",
     R"_(__out.cpp:3:5: runtime error: execution reached the end of a value-returning function without returning a value
    #0 0x5639ffd98eb6 in sign(int) /home/hana/c/__out.cpp:3
    #1 0x5639ffd98fa7 in main /home/hana/c/__out.cpp:11
)_",
     "missing-return-at-run", 3, 5,
     R"_(main.cpp 3 行目: 関数 sign が return を通らずに終わりました。値を返す関数では、どの道を通っても最後に return 値; に届くようにしてください。)_"},
    {"invalid-value/cpp/bool", "cpp", R"_(#include <iostream>
#include <cstring>

int main()
{
    bool b;
    char c = 5;
    std::memcpy(&b, &c, 1);
    if (b)
        std::cout << "yes" << std::endl;
    return 0;
}
)_",
     R"_(__out.cpp:9:5: runtime error: load of value 5, which is not a valid value for type 'bool'
    #0 0x56368b79dfcb in main /home/hana/c/__out.cpp:9
)_",
     "invalid-value", 9, 5,
     R"_(main.cpp 9 行目: bool 型の変数に、その型にない値 5 が入っていました。値を入れる前に使っていないか、別の型として書き込んでいないか確かめてください。)_"},
    {"invalid-value/cpp/enum", "cpp", R"_(#include <iostream>

enum Color { Red, Green, Blue };

int main()
{
    int n = 7;
    Color c;
    c = *reinterpret_cast<Color*>(&n);
    if (c == Red)
        std::cout << "red" << std::endl;
    return 0;
}
)_",
     R"_(__out.cpp:9:7: runtime error: load of value 7, which is not a valid value for type 'Color'
    #0 0x55d844f89fb5 in main /home/hana/c/__out.cpp:9
)_",
     "invalid-value", 9, 7,
     R"_(main.cpp 9 行目: Color 型の変数に、その型にない値 7 が入っていました。値を入れる前に使っていないか、別の型として書き込んでいないか確かめてください。)_"},
    {"shift-too-wide/c", "c", R"_(#include <stdio.h>

int main(void)
{
    int n = 40;
    int x = 1 << n;
    printf("%d\n", x);
    return 0;
}
)_",
     R"_(__out.c:6:15: runtime error: shift exponent 40 is too large for 32-bit type 'int'
    #0 0x560dc91ddeb4 in main /home/hana/c/__out.c:6
)_",
     "shift-too-wide", 6, 15,
     R"_(main.c 6 行目: 32 ビットの int 型の値を 40 ビットずらそうとしました。ずらす数（<< や >> の右側）は 0 以上 32 未満にしてください。)_"},
    {"shift-negative/c", "c", R"_(#include <stdio.h>

int main(void)
{
    int n = -1;
    int x = 1 << n;
    printf("%d\n", x);
    return 0;
}
)_",
     R"_(__out.c:6:15: runtime error: shift exponent -1 is negative
    #0 0x56175c632eb4 in main /home/hana/c/__out.c:6
)_",
     "shift-negative", 6, 15,
     R"_(main.c 6 行目: ずらす数（<< や >> の右側）が -1 で、負になっています。ずらす数は 0 以上にしてください。)_"},
    {"vla-bound/c", "c", R"_(#include <stdio.h>

int main(void)
{
    int n = 0;
    int a[n];
    printf("%zu\n", sizeof a);
    return 0;
}
)_",
     R"_(__out.c:6:9: runtime error: variable length array bound evaluates to non-positive value 0
    #0 0x56206a0c6e97 in main /home/hana/c/__out.c:6
)_",
     "vla-bound", 6, 9,
     R"_(main.c 6 行目: 配列の大きさが 0 になりました。大きさを変数で決める配列は、その変数が 1 以上になってから宣言してください。)_"},
    {"null-pointer/c/member", "c", R"_(#include <stdio.h>

struct node {
    int value;
    struct node *next;
};

int main(void)
{
    struct node *head = NULL;
    printf("%d\n", head->value);
    return 0;
}
)_",
     R"_(__out.c:11:5: runtime error: member access within null pointer of type 'struct node'
    #0 0x564bdd014e92 in main /home/hana/c/__out.c:11
)_",
     "null-pointer", 11, 5,
     R"_(main.c 11 行目: NULL（どこも指していないポインタ）の指す先を使おうとしました。ポインタに変数のアドレスや malloc・new の結果を入れてから使っているか、NULL かどうか確かめてから使っているか見直してください。)_"},
    {"string-function-overflow/c/strcpy", "c", R"_(#include <stdio.h>
#include <string.h>

int main(void)
{
    char name[5];
    strcpy(name, "Hanako");
    printf("%s\n", name);
    return 0;
}
)_",
     R"_(=================================================================
==26585==ERROR: AddressSanitizer: stack-buffer-overflow on address 0x7f9dcad00025 at pc 0x55eb498af8b1 bp 0x7ffc74768020 sp 0x7ffc747677d0
WRITE of size 7 at 0x7f9dcad00025 thread T0
    #0 0x55eb498af8b0 in memcpy (/home/hana/c/main+0x2b8b0)
    #1 0x55eb49967ec9 in main /home/hana/c/__out.c:7

Address 0x7f9dcad00025 is located in stack of thread T0 at offset 37 in frame
    #0 0x55eb49967e4a in main /home/hana/c/__out.c:5

  This frame has 1 object(s):
    [32, 37) 'name' (line 6) <== Memory access at offset 37 overflows this variable
HINT: this may be a false positive if your program uses some custom stack unwind mechanism, swapcontext or vfork
      (longjmp and C++ exceptions *are* supported)
SUMMARY: AddressSanitizer: stack-buffer-overflow (/home/hana/c/main+0x2b8b0) in memcpy
==26585==ABORTING
)_",
     "string-function-overflow", 7, 0,
     R"_(main.c 7 行目: 文字列の関数（strcpy・strcat・strlen など）が、配列 name の範囲の外まで読み書きしました。配列が文字列の長さと終わりの '\0' の 1 文字分より大きいか、文字列が '\0' で終わっているか確かめてください。)_"},
    {"string-function-overflow/c/strcat", "c", R"_(#include <stdio.h>
#include <string.h>

int main(void)
{
    char s[8] = "abc";
    strcat(s, "defghij");
    printf("%s\n", s);
    return 0;
}
)_",
     R"_(=================================================================
==26599==ERROR: AddressSanitizer: stack-buffer-overflow on address 0x7fceb7f00028 at pc 0x55f9e409d8d1 bp 0x7ffd37b33fb0 sp 0x7ffd37b33760
WRITE of size 8 at 0x7fceb7f00028 thread T0
    #0 0x55f9e409d8d0 in __interceptor_memcpy (/home/hana/c/main+0x2c8d0)
    #1 0x55f9e4155f7b in main /home/hana/c/__out.c:7

Address 0x7fceb7f00028 is located in stack of thread T0 at offset 40 in frame
    #0 0x55f9e4155e6a in main /home/hana/c/__out.c:5

  This frame has 1 object(s):
    [32, 40) 's' (line 6) <== Memory access at offset 40 overflows this variable
HINT: this may be a false positive if your program uses some custom stack unwind mechanism, swapcontext or vfork
      (longjmp and C++ exceptions *are* supported)
SUMMARY: AddressSanitizer: stack-buffer-overflow (/home/hana/c/main+0x2c8d0) in __interceptor_memcpy
==26599==ABORTING
)_",
     "string-function-overflow", 7, 0,
     R"_(main.c 7 行目: 文字列の関数（strcpy・strcat・strlen など）が、配列 s の範囲の外まで読み書きしました。配列が文字列の長さと終わりの '\0' の 1 文字分より大きいか、文字列が '\0' で終わっているか確かめてください。)_"},
    {"string-function-overflow/c/strlen", "c", R"_(#include <stdio.h>
#include <string.h>

int main(void)
{
    char s[3] = {'a', 'b', 'c'};
    printf("%zu\n", strlen(s));
    return 0;
}
)_",
     R"_(=================================================================
==26613==ERROR: AddressSanitizer: stack-buffer-overflow on address 0x7f19e9b00023 at pc 0x55c27cfddf81 bp 0x7ffcf32168d0 sp 0x7ffcf3216080
READ of size 4 at 0x7f19e9b00023 thread T0
    #0 0x55c27cfddf80 in __interceptor_strlen.part.0 (/home/hana/c/main+0x2df80)
    #1 0x55c27d093f26 in main /home/hana/c/__out.c:7

Address 0x7f19e9b00023 is located in stack of thread T0 at offset 35 in frame
    #0 0x55c27d093e4a in main /home/hana/c/__out.c:5

  This frame has 1 object(s):
    [32, 35) 's' (line 6) <== Memory access at offset 35 overflows this variable
HINT: this may be a false positive if your program uses some custom stack unwind mechanism, swapcontext or vfork
      (longjmp and C++ exceptions *are* supported)
SUMMARY: AddressSanitizer: stack-buffer-overflow (/home/hana/c/main+0x2df80) in __interceptor_strlen.part.0
==26613==ABORTING
)_",
     "string-function-overflow", 7, 0,
     R"_(main.c 7 行目: 文字列の関数（strcpy・strcat・strlen など）が、配列 s の範囲の外まで読み書きしました。配列が文字列の長さと終わりの '\0' の 1 文字分より大きいか、文字列が '\0' で終わっているか確かめてください。)_"},
    {"stack-use-after-return/c", "c", R"_(#include <stdio.h>

int *make(void)
{
    int x = 42;
    int *p = &x;
    return p;
}

int main(void)
{
    int *p = make();
    printf("%d\n", *p);
    return 0;
}
)_",
     R"_(=================================================================
==26627==ERROR: AddressSanitizer: stack-use-after-return on address 0x7ff56e100020 at pc 0x55daa2fcbfb9 bp 0x7ffcab013080 sp 0x7ffcab013078
READ of size 4 at 0x7ff56e100020 thread T0
    #0 0x55daa2fcbfb8 in main /home/hana/c/__out.c:13

Address 0x7ff56e100020 is located in stack of thread T0 at offset 32 in frame
    #0 0x55daa2fcbe6a in make /home/hana/c/__out.c:4

  This frame has 1 object(s):
    [32, 36) 'x' (line 5) <== Memory access at offset 32 is inside this variable
HINT: this may be a false positive if your program uses some custom stack unwind mechanism, swapcontext or vfork
      (longjmp and C++ exceptions *are* supported)
SUMMARY: AddressSanitizer: stack-use-after-return /home/hana/c/__out.c:13 in main
==26627==ABORTING
)_",
     "stack-use-after-return", 13, 0,
     R"_(main.c 13 行目: 関数の中の変数 x は関数が終わるとなくなりますが、その後でそれを指すポインタを使いました。関数からは値そのものを返すか、呼ぶ側の変数のアドレスを引数で受け取ってください。)_"},
    {"stack-use-after-scope/c/optimised", "c", R"_(#include <stdio.h>

int *make(void)
{
    int x = 42;
    int *p = &x;
    return p;
}

int main(void)
{
    int *p = make();
    printf("%d\n", *p);
    return 0;
}
)_",
     R"_(=================================================================
==26641==ERROR: AddressSanitizer: stack-use-after-scope on address 0x7f4491100020 at pc 0x5619d50383fd bp 0x7ffc2c87ec70 sp 0x7ffc2c87ec68
READ of size 4 at 0x7f4491100020 thread T0
    #0 0x5619d50383fc in main /home/hana/c/__out.c:13

Address 0x7f4491100020 is located in stack of thread T0 at offset 32 in frame
    #0 0x5619d503836c in main /home/hana/c/__out.c:11

  This frame has 1 object(s):
    [32, 36) 'x' (line 5) <== Memory access at offset 32 is inside this variable
HINT: this may be a false positive if your program uses some custom stack unwind mechanism, swapcontext or vfork
      (longjmp and C++ exceptions *are* supported)
SUMMARY: AddressSanitizer: stack-use-after-scope /home/hana/c/__out.c:13 in main
==26641==ABORTING
)_",
     "stack-use-after-scope", 13, 0,
     R"_(main.c 13 行目: 変数 x がなくなった後で、それを指すポインタを使いました。{ } の中の変数はその } で、関数の中の変数は関数の終わりでなくなります。ポインタを使う間なくならない変数を指すようにしてください。)_"},
    {"file-function-null/c/fprintf", "c", R"_(#include <stdio.h>

int main(void)
{
    FILE *fp = fopen("no/such/folder/out.txt", "w");
    fprintf(fp, "hello\n");
    fclose(fp);
    return 0;
}
)_",
     R"_(__out.c:6:5: runtime error: null pointer passed as argument 4, which is declared to never be null
    #0 0x561b5eb56e9a in main /home/hana/c/__out.c:6
)_",
     "file-function-null", 6, 5,
     R"_(main.c 6 行目: ファイルを読み書きする関数に NULL を渡しました。fopen はファイルを開けないと NULL を返します。fopen の後で NULL かどうか確かめ、開けなかったときは読み書きしないでください。)_"},
    {"file-function-null/c/fputs-optimised", "c", R"_(#include <stdio.h>

int main(void)
{
    FILE *fp = fopen("no/such/folder/out.txt", "w");
    fputs("hello\n", fp);
    return 0;
}
)_",
     R"_(__out.c:6:5: runtime error: null pointer passed as argument 2, which is declared to never be null
    #0 0x55b7f30d63a9 in main /home/hana/c/__out.c:6
)_",
     "file-function-null", 6, 5,
     R"_(main.c 6 行目: ファイルを読み書きする関数に NULL を渡しました。fopen はファイルを開けないと NULL を返します。fopen の後で NULL かどうか確かめ、開けなかったときは読み書きしないでください。)_"},
    {"segmentation-fault/c/argv-minus-one", "c", R"_(#include <stdio.h>

int main(int argc, char *argv[])
{
    char *name = argv[-1];
    printf("%c\n", name[0]);
    return 0;
}
)_",
     R"_(=================================================================
==26752==ERROR: AddressSanitizer: SEGV on unknown address 0x000000000001 (pc 0x55d03e370f3a bp 0x7fff5860cb40 sp 0x7fff5860cb20 T0)
==26752==The signal is caused by a READ memory access.
==26752==Hint: address points to the zero page.
    #0 0x55d03e370f3a in main /home/hana/c/__out.c:6

AddressSanitizer can not provide additional info.
SUMMARY: AddressSanitizer: SEGV /home/hana/c/__out.c:6 in main
==26752==ABORTING
)_",
     "segmentation-fault", 6, 0,
     R"_(main.c 6 行目: 使ってはいけない場所のメモリを読み書きしようとして、プログラムが止められました（セグメンテーション違反）。ポインタに正しいアドレスが入っているか（初期化し忘れ、解放済み、範囲の外の番号）、"…" の文字列に書き込んでいないか確かめてください。)_"},
    {"stack-address-outside/c/argv-past-the-end", "c", R"_(#include <stdio.h>

int main(int argc, char *argv[])
{
    char *s = argv[argc + 1000];
    printf("%c\n", s[0]);
    return 0;
}
)_",
     R"_(=================================================================
==26801==ERROR: AddressSanitizer: stack-overflow on address 0x7fffc305f850 (pc 0x564934abaf03 bp 0x7fffc305d7f0 sp 0x7fffc305d7d0 T0)
    #0 0x564934abaf03 in main /home/hana/c/__out.c:5

SUMMARY: AddressSanitizer: stack-overflow /home/hana/c/__out.c:5 in main
==26801==ABORTING
)_",
     "stack-address-outside", 5, 0,
     R"_(main.c 5 行目: 使ってはいけない場所のメモリを読み書きしようとして、プログラムが止められました（セグメンテーション違反）。ポインタに正しいアドレスが入っているか（初期化し忘れ、範囲の外の番号）確かめてください。)_"},
};

const Explainer& installed()
{
    static const Explainer e = Explainer::installed();
    return e;
}

BuiltPage pageOf(const char* language, const char* text = "")
{
    const QString ext = QString::fromLatin1(language);
    return BuiltPage{QStringLiteral("/home/hana/c/__out.") + ext, QStringLiteral("main.") + ext,
                     QString::fromUtf8(text)};
}

QString reportOf(const char* name)
{
    for (const ReportRow& row : ReportRows) {
        if (qstrcmp(row.name, name) == 0)
            return QString::fromUtf8(row.report);
    }
    return QString();
}

}  // namespace

// Each kind of fault gives one explanation at the page's line, naming the page,
// and every run-time kind of the table has its row.
TEST(ReportTable, RealReportsByKind)
{
    QSet<QString> tested;
    for (const ReportRow& row : ReportRows) {
        SCOPED_TRACE(row.name);
        const BuiltPage page = pageOf(row.language, row.text);
        const QList<Explanation> got = installed().explainReport(QString::fromUtf8(row.report), page);
        ASSERT_EQ(got.size(), 1);
        EXPECT_EQ(got[0].kind.toStdString(), row.kind);
        EXPECT_EQ(got[0].place.file, page.source);
        EXPECT_EQ(got[0].place.line, row.line);
        EXPECT_EQ(got[0].place.column, row.column);
        EXPECT_EQ(got[0].text.toStdString(), row.explanation);
        tested.insert(QString::fromUtf8(row.kind));
    }
    const std::optional<KindTable> table = parseKindTable(builtInKindTableText());
    ASSERT_TRUE(table);
    for (const ExplainedKind& k : table->kinds) {
        // memcheck's kinds have their rows in the replay's table.
        if (k.report && !k.formats.first().startsWith(QStringLiteral("memcheck: "))) {
            EXPECT_TRUE(tested.contains(k.name)) << k.name.toStdString();
        }
    }
}

// A report the checker did not finish, one mangled on the way, one of a kind the
// table lacks, or no report at all: nothing is explained rather than a guess.
TEST(ReportTable, NothingFromBrokenOrUnknownReports)
{
    const QString heap = reportOf("heap-out-of-bounds/c");
    const QString bounds = reportOf("index-out-of-bounds/c/bounds-checker");
    ASSERT_FALSE(heap.isEmpty());
    ASSERT_FALSE(bounds.isEmpty());
    const struct {
        const char* name;
        QString report;
    } rows[] = {
        {"empty", QString()},
        {"program output", QStringLiteral("hello\n42\n")},
        {"cut off before the summary", heap.left(heap.indexOf(QStringLiteral("SUMMARY")))},
        {"cut off in the summary", heap.left(heap.indexOf(QStringLiteral("SUMMARY")) + 40)},
        {"cut off in the first line", bounds.left(bounds.indexOf(u'[') + 1)},
        {"first line without its end", bounds.left(bounds.indexOf(u'\n'))},
        {"garbled kind", QString::fromUtf8(heap.toUtf8().replace("buffer-overflow", "bu\xff\xfe"))},
        {"summary of an unknown kind",
         QStringLiteral("SUMMARY: AddressSanitizer: alloc-dealloc-mismatch ../../../../src/libsanitizer/asan/"
                        "asan_new_delete.cpp:164 in operator delete(void*, unsigned long)\n")},
        {"undefined behaviour of an unknown kind",
         QStringLiteral("__out.c:6:17: runtime error: left shift of 1 by 31 places cannot be represented in type 'int'\n"
                        "    #0 0x564f6cae84a2 in main /home/hana/c/__out.c:6\n"
                        "    #1 0x7fd3a8a45249 in __libc_start_call_main ../sysdeps/nptl/libc_start_call_main.h:58\n")},
    };
    for (const auto& r : rows)
        EXPECT_TRUE(installed().explainReport(r.report, pageOf("c")).isEmpty()) << r.name;
}

TEST(ReportTable, SignalNames)
{
    const struct {
        int signal;
        const char* start;  // "" for a signal it does not know
    } rows[] = {
        {SIGSEGV, "SIGSEGV（セグメンテーション違反）: "},
        {SIGFPE, "SIGFPE（浮動小数点例外）: "},
        {SIGABRT, "SIGABRT（"},
        {SIGKILL, "SIGKILL（"},
        {SIGPIPE, "SIGPIPE（"},
        {0, ""},
        {SIGRTMIN + 1, ""},
        {-11, ""},
    };
    for (const auto& r : rows) {
        const QString text = installed().signalText(r.signal);
        if (*r.start == '\0') {
            EXPECT_TRUE(text.isEmpty()) << r.signal << text.toStdString();
        } else {
            EXPECT_TRUE(text.startsWith(QString::fromUtf8(r.start))) << r.signal << text.toStdString();
        }
    }
}
