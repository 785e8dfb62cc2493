// Real output of gcc and g++ 12 (English and Japanese, C and C++) for short wrong
// programs, one row per kind of the table: the kind, the place and the words the
// learner reads. The output was made by compiling each page as the build does
// (its copy __out.c or __out.cpp in the per-user cache folder, with -Wall).
#include "explain/Explainer.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace nollex;

namespace {

struct Row {
    const char* name;  // kind/language/compiler's language
    const char* page;  // the page's own name
    const char* text;  // the page as built
    const char* output;
    const char* kind;
    int messageLine;
    int line;
    int column;
    const char* explanation;
};

const Row Rows[] = {
    {"array-assignment/c/en",
     "hello.c", R"_(int main(void)
{
    char s[10];
    s = "abc";
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:7: error: assignment to expression with array type
    4 |     s = "abc";
      |       ^
/home/hana/.cache/nollex/__out.c:3:10: warning: variable ‘s’ set but not used [-Wunused-but-set-variable]
    3 |     char s[10];
      |          ^
)_",
     "array-assignment", 1, 4, 7,
     R"_(hello.c 4 行目: 配列に = でまとめて代入することはできません。文字列なら strcpy を使い、そうでなければ要素を一つずつ代入してください。)_"},
    // An untitled page has no name on its tab: the explanation names none.
    {"array-assignment/c/en/untitled",
     "", R"_(int main(void)
{
    char s[10];
    s = "abc";
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:7: error: assignment to expression with array type
    4 |     s = "abc";
      |       ^
)_",
     "array-assignment", 1, 4, 7,
     R"_(4 行目: 配列に = でまとめて代入することはできません。文字列なら strcpy を使い、そうでなければ要素を一つずつ代入してください。)_"},
    {"undefined-main/c/en/untitled",
     "", R"_(#include <stdio.h>
int mian(void)
{
    return 0;
}
)_",
     R"_(/usr/bin/ld: /usr/lib/gcc/x86_64-linux-gnu/12/../../../x86_64-linux-gnu/Scrt1.o: in function `_start':
(.text+0x17): undefined reference to `main'
collect2: error: ld returned 1 exit status
)_",
     "undefined-main", 1, 0, 0,
     R"_(main 関数が見つかりません。int main の名前の綴りを確かめてください。)_"},
    {"assignment-in-condition/c/en",
     "hello.c", R"_(int main(void)
{
    int x = 0;
    if (x = 1)
        return 1;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:9: warning: suggest parentheses around assignment used as truth value [-Wparentheses]
    4 |     if (x = 1)
      |         ^
)_",
     "assignment-in-condition", 1, 4, 9,
     R"_(hello.c 4 行目: 条件の中で = （代入）を使っています。等しいかどうかを調べるなら == と書いてください。)_"},
    {"assignment-in-condition/c/ja",
     "hello.c", R"_(int main(void)
{
    int x = 0;
    if (x = 1)
        return 1;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:9: 警告: 真偽値として使われる代入のまわりでは、丸括弧の使用をお勧めします [-Wparentheses]
    4 |     if (x = 1)
      |         ^
)_",
     "assignment-in-condition", 1, 4, 9,
     R"_(hello.c 4 行目: 条件の中で = （代入）を使っています。等しいかどうかを調べるなら == と書いてください。)_"},
    {"break-outside-loop/c/en",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    if (x)
        break;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:9: error: break statement not within loop or switch
    5 |         break;
      |         ^~~~~
)_",
     "break-outside-loop", 1, 5, 9,
     R"_(hello.c 5 行目: break はループ（for, while, do）か switch の中でしか使えません。break の場所を確かめてください。)_"},
    {"break-outside-loop/c/ja",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    if (x)
        break;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:5:9: エラー: ループまたは switch 文の外にある break 文です
    5 |         break;
      |         ^~~~~
)_",
     "break-outside-loop", 1, 5, 9,
     R"_(hello.c 5 行目: break はループ（for, while, do）か switch の中でしか使えません。break の場所を確かめてください。)_"},
    {"case-outside-switch/c/en",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    case 1: x = 2;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:5: error: case label not within a switch statement
    4 |     case 1: x = 2;
      |     ^~~~
)_",
     "case-outside-switch", 1, 4, 5,
     R"_(hello.c 4 行目: case が switch の { } の外にあります。switch の { } の位置を確かめてください。)_"},
    {"case-outside-switch/c/ja",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    case 1: x = 2;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:5: エラー: switch 文の外にある case ラベルです
    4 |     case 1: x = 2;
      |     ^~~~
)_",
     "case-outside-switch", 1, 4, 5,
     R"_(hello.c 4 行目: case が switch の { } の外にあります。switch の { } の位置を確かめてください。)_"},
    {"conflicting-types/c/en",
     "hello.c", R"_(int main(void)
{
    return f();
}
void f(void) { }
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:12: warning: implicit declaration of function ‘f’ [-Wimplicit-function-declaration]
    3 |     return f();
      |            ^
/home/hana/.cache/nollex/__out.c: At top level:
/home/hana/.cache/nollex/__out.c:5:6: warning: conflicting types for ‘f’; have ‘void(void)’
    5 | void f(void) { }
      |      ^
/home/hana/.cache/nollex/__out.c:3:12: note: previous implicit declaration of ‘f’ with type ‘void(void)’
    3 |     return f();
      |            ^
)_",
     "conflicting-types", 5, 5, 6,
     R"_(hello.c 5 行目: 関数 f の使い方と定義の型が合いません。使う場所より前に f を定義するか、宣言（プロトタイプ）を書いてください。)_"},
    {"continue-outside-loop/c/en",
     "hello.c", R"_(int main(void)
{
    continue;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:5: error: continue statement not within a loop
    3 |     continue;
      |     ^~~~~~~~
)_",
     "continue-outside-loop", 1, 3, 5,
     R"_(hello.c 3 行目: continue はループ（for, while, do）の中でしか使えません。continue の場所を確かめてください。)_"},
    {"continue-outside-loop/c/ja",
     "hello.c", R"_(int main(void)
{
    continue;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:3:5: エラー: ループの外にある continue 文です
    3 |     continue;
      |     ^~~~~~~~
)_",
     "continue-outside-loop", 1, 3, 5,
     R"_(hello.c 3 行目: continue はループ（for, while, do）の中でしか使えません。continue の場所を確かめてください。)_"},
    {"division-by-zero/c/en",
     "hello.c", R"_(int main(void)
{
    int x = 1 / 0;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:15: warning: division by zero [-Wdiv-by-zero]
    3 |     int x = 1 / 0;
      |               ^
)_",
     "division-by-zero", 1, 3, 15,
     R"_(hello.c 3 行目: 0 で割っています。割る数が 0 にならないようにしてください。)_"},
    {"division-by-zero/c/ja",
     "hello.c", R"_(int main(void)
{
    int x = 1 / 0;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:3:15: 警告: ゼロ除算が発生しました [-Wdiv-by-zero]
    3 |     int x = 1 / 0;
      |               ^
)_",
     "division-by-zero", 1, 3, 15,
     R"_(hello.c 3 行目: 0 で割っています。割る数が 0 にならないようにしてください。)_"},
    {"else-without-if/c/en",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    if (x > 0);
        x = 2;
    else
        x = 3;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:5: warning: this ‘if’ clause does not guard... [-Wmisleading-indentation]
    4 |     if (x > 0);
      |     ^~
/home/hana/.cache/nollex/__out.c:5:9: note: ...this statement, but the latter is misleadingly indented as if it were guarded by the ‘if’
    5 |         x = 2;
      |         ^
/home/hana/.cache/nollex/__out.c:6:5: error: ‘else’ without a previous ‘if’
    6 |     else
      |     ^~~~
)_",
     "else-without-if", 7, 6, 5,
     R"_(hello.c 6 行目: この else に対応する if がありません。if (…) の後ろの余分な ; や、{ } で囲んでいない複数の文がないか確かめてください。)_"},
    {"else-without-if/c/ja",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    if (x > 0);
        x = 2;
    else
        x = 3;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:5: 警告: this ‘if’ clause does not guard... [-Wmisleading-indentation]
    4 |     if (x > 0);
      |     ^~
/home/hana/.cache/nollex/__out.c:5:9: 備考: ...this statement, but the latter is misleadingly indented as if it were guarded by the ‘if’
    5 |         x = 2;
      |         ^
/home/hana/.cache/nollex/__out.c:6:5: エラー: ‘else’ の前に ‘if’ がありません
    6 |     else
      |     ^~~~
)_",
     "else-without-if", 7, 6, 5,
     R"_(hello.c 6 行目: この else に対応する if がありません。if (…) の後ろの余分な ; や、{ } で囲んでいない複数の文がないか確かめてください。)_"},
    {"excess-initializers/c/en",
     "hello.c", R"_(int main(void)
{
    int a[2] = {1, 2, 3};
    return a[0];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:23: warning: excess elements in array initializer
    3 |     int a[2] = {1, 2, 3};
      |                       ^
/home/hana/.cache/nollex/__out.c:3:23: note: (near initialization for ‘a’)
)_",
     "excess-initializers", 1, 3, 23,
     R"_(hello.c 3 行目: 配列の大きさより多くの値を { } に書いています。配列の大きさか、値の数を直してください。)_"},
    {"excess-initializers/c/ja",
     "hello.c", R"_(int main(void)
{
    int a[2] = {1, 2, 3};
    return a[0];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:3:23: 警告: 配列初期化子内の要素が多すぎます
    3 |     int a[2] = {1, 2, 3};
      |                       ^
/home/hana/.cache/nollex/__out.c:3:23: 備考: (‘a’ 用の初期化付近)
)_",
     "excess-initializers", 1, 3, 23,
     R"_(hello.c 3 行目: 配列の大きさより多くの値を { } に書いています。配列の大きさか、値の数を直してください。)_"},
    {"expected-expression/c/en",
     "hello.c", R"_(int main(void)
{
    int x = (1 + );
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:18: error: expected expression before ‘)’ token
    3 |     int x = (1 + );
      |                  ^
)_",
     "expected-expression", 1, 3, 18,
     R"_(hello.c 3 行目: ) の前に式（値や変数）が要ります。) の前が書きかけになっていないか確かめてください。)_"},
    {"extra-closing-brace/c/en",
     "hello.c", R"_(int main(void)
{
    return 0;
}
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:5:1: error: expected identifier or ‘(’ before ‘}’ token
    5 | }
      | ^
)_",
     "extra-closing-brace", 0, 5, 1,
     R"_(hello.c 5 行目: 対応する { のない } があります。余分な } を消すか、抜けている { を書いてください。)_"},
    {"format-extra-arguments/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("%d\n", 1, 2);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:12: warning: too many arguments for format [-Wformat-extra-args]
    4 |     printf("%d\n", 1, 2);
      |            ^~~~~~
)_",
     "format-extra-arguments", 1, 4, 12,
     R"_(hello.c 4 行目: 書式の % の数より、後ろに書いた値のほうが多くなっています。書式に % を足すか、余分な値を消してください。)_"},
    {"format-extra-arguments/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("%d\n", 1, 2);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:12: 警告: 書式への引数が多すぎます [-Wformat-extra-args]
    4 |     printf("%d\n", 1, 2);
      |            ^~~~~~
)_",
     "format-extra-arguments", 1, 4, 12,
     R"_(hello.c 4 行目: 書式の % の数より、後ろに書いた値のほうが多くなっています。書式に % を足すか、余分な値を消してください。)_"},
    {"format-missing-argument/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("%d %d\n", 1);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:17: warning: format ‘%d’ expects a matching ‘int’ argument [-Wformat=]
    4 |     printf("%d %d\n", 1);
      |                ~^
      |                 |
      |                 int
)_",
     "format-missing-argument", 1, 4, 17,
     R"_(hello.c 4 行目: 書式 %d に対応する値がありません。書式の % の数だけ、後ろに値を書いてください。)_"},
    {"format-missing-argument/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("%d %d\n", 1);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:17: 警告: 書式 ‘%d’ は対応した ‘int’ 引数が予期されます [-Wformat=]
    4 |     printf("%d %d\n", 1);
      |                ~^
      |                 |
      |                 int
)_",
     "format-missing-argument", 1, 4, 17,
     R"_(hello.c 4 行目: 書式 %d に対応する値がありません。書式の % の数だけ、後ろに値を書いてください。)_"},
    {"format-type-mismatch/c/en-string-for-int",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int n = 3;
    printf("%s\n", n);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:14: warning: format ‘%s’ expects argument of type ‘char *’, but argument 2 has type ‘int’ [-Wformat=]
    5 |     printf("%s\n", n);
      |             ~^     ~
      |              |     |
      |              |     int
      |              char *
      |             %d
)_",
     "format-type-mismatch", 1, 5, 14,
     R"_(hello.c 5 行目: 書式 %s には char * 型の値が要りますが、n は int 型です。書式か値の型を合わせてください。)_"},
    {"int-format-for-double/c/en-printf-d",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    double d = 1.5;
    printf("%d\n", d);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:14: warning: format ‘%d’ expects argument of type ‘int’, but argument 2 has type ‘double’ [-Wformat=]
    5 |     printf("%d\n", d);
      |             ~^     ~
      |              |     |
      |              int   double
      |             %f
)_",
     "int-format-for-double", 1, 5, 14,
     R"_(hello.c 5 行目: 書式 %d は整数のためのものですが、d は double 型です。double の値を表示するには %f を使ってください。)_"},
    {"int-format-for-double/c/ja-printf-d",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    double d = 1.5;
    printf("%d\n", d);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:5:14: 警告: 書式 ‘%d’ は引数の型が ‘int’ であると予期されますが、第 2 引数の型は ‘double’ です [-Wformat=]
    5 |     printf("%d\n", d);
      |             ~^     ~
      |              |     |
      |              int   double
      |             %f
)_",
     "int-format-for-double", 1, 5, 14,
     R"_(hello.c 5 行目: 書式 %d は整数のためのものですが、d は double 型です。double の値を表示するには %f を使ってください。)_"},
    {"full-width-character/c/en",
     "hello.c", R"_(int main(void)
｛
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:2:1: error: expected declaration specifiers before ‘｛’
    2 | ｛
      | ^~
/home/hana/.cache/nollex/__out.c:4:1: error: expected declaration specifiers before ‘}’ token
    4 | }
      | ^
/home/hana/.cache/nollex/__out.c:5: error: expected ‘{’ at end of input
)_",
     "full-width-character", 1, 2, 1,
     R"_(hello.c 2 行目: 1 桁目に全角の波括弧「｛」があります。半角の「{」に直してください。)_"},
    {"full-width-character/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf(“hi”);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:12: エラー: プログラム内に逸脱した ‘\342’ があります
    4 |     printf(<U+201C>hi<U+201D>);
      |            ^~~~~~~~
/home/hana/.cache/nollex/__out.c:4:15: エラー: プログラム内に逸脱した ‘\342’ があります
    4 |     printf(<U+201C>hi<U+201D>);
      |                      ^~~~~~~~
/home/hana/.cache/nollex/__out.c:4:13: エラー: ‘hi’ が宣言されていません (この関数内での最初の使用)
    4 |     printf(“hi”);
      |             ^~
/home/hana/.cache/nollex/__out.c:4:13: 備考: 未宣言の識別子は出現した各関数内で一回のみ報告されます
)_",
     "full-width-character", 1, 4, 12,
     R"_(hello.c 4 行目: 12 桁目に全角の引用符「“」があります。半角の「"」に直してください。)_"},
    {"implicit-declaration/c/en",
     "hello.c", R"_(int main(void)
{
    return calc(2);
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:12: warning: implicit declaration of function ‘calc’ [-Wimplicit-function-declaration]
    3 |     return calc(2);
      |            ^~~~
)_",
     "implicit-declaration", 1, 3, 12,
     R"_(hello.c 3 行目: 関数 calc が使う前に宣言されていません。綴りを確かめ、calc のための #include を書くか、使う前に宣言してください。)_"},
    {"used-before-definition/c/en-void",
     "hello.c", R"_(int main(void)
{
    return f();
}
void f(void) { }
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:12: warning: implicit declaration of function ‘f’ [-Wimplicit-function-declaration]
    3 |     return f();
      |            ^
/home/hana/.cache/nollex/__out.c: At top level:
/home/hana/.cache/nollex/__out.c:5:6: warning: conflicting types for ‘f’; have ‘void(void)’
    5 | void f(void) { }
      |      ^
/home/hana/.cache/nollex/__out.c:3:12: note: previous implicit declaration of ‘f’ with type ‘void(void)’
    3 |     return f();
      |            ^
)_",
     "used-before-definition", 1, 3, 12,
     R"_(hello.c 3 行目: 関数 f は 5 行目で定義されていますが、使う場所より後ろにあります。f の定義を使う場所より前に移すか、使う前に宣言（プロトタイプ）を書いてください。)_"},
    {"used-before-definition/c/ja-void",
     "hello.c", R"_(int main(void)
{
    return f();
}
void f(void) { }
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:3:12: 警告: 関数 ‘f’ の暗黙的な宣言です [-Wimplicit-function-declaration]
    3 |     return f();
      |            ^
/home/hana/.cache/nollex/__out.c: トップレベル:
/home/hana/.cache/nollex/__out.c:5:6: 警告: conflicting types for ‘f’; have ‘void(void)’
    5 | void f(void) { }
      |      ^
/home/hana/.cache/nollex/__out.c:3:12: 備考: previous implicit declaration of ‘f’ with type ‘void(void)’
    3 |     return f();
      |            ^
)_",
     "used-before-definition", 1, 3, 12,
     R"_(hello.c 3 行目: 関数 f は 5 行目で定義されていますが、使う場所より後ろにあります。f の定義を使う場所より前に移すか、使う前に宣言（プロトタイプ）を書いてください。)_"},
    {"implicit-declaration-did-you-mean/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    prinf("hi\n");
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:5: warning: implicit declaration of function ‘prinf’; did you mean ‘printf’? [-Wimplicit-function-declaration]
    4 |     prinf("hi\n");
      |     ^~~~~
      |     printf
/usr/bin/ld: /home/hana/.cache/nollex/__out.obj: in function `main':
__out.c:(.text+0x14): undefined reference to `prinf'
collect2: error: ld returned 1 exit status
)_",
     "implicit-declaration-did-you-mean", 1, 4, 5,
     R"_(hello.c 4 行目: 関数 prinf は宣言されていません。printf の書き間違いなら printf に直してください。)_"},
    {"include-for-c/c/en",
     "hello.c", R"_(int main(void)
{
    printf("hi\n");
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:5: warning: implicit declaration of function ‘printf’ [-Wimplicit-function-declaration]
    3 |     printf("hi\n");
      |     ^~~~~~
/home/hana/.cache/nollex/__out.c:1:1: note: include ‘<stdio.h>’ or provide a declaration of ‘printf’
  +++ |+#include <stdio.h>
    1 | int main(void)
/home/hana/.cache/nollex/__out.c:3:5: warning: incompatible implicit declaration of built-in function ‘printf’ [-Wbuiltin-declaration-mismatch]
    3 |     printf("hi\n");
      |     ^~~~~~
/home/hana/.cache/nollex/__out.c:3:5: note: include ‘<stdio.h>’ or provide a declaration of ‘printf’
)_",
     "include-for-c", 4, 1, 1,
     R"_(hello.c: printf を使うには <stdio.h> が要ります。ファイルの始めに #include <stdio.h> を書いてください。)_"},
    {"include-for-cpp/c/en",
     "hello.c", R"_(int main(void)
{
    bool b = 1;
    return b;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:5: error: unknown type name ‘bool’
    3 |     bool b = 1;
      |     ^~~~
/home/hana/.cache/nollex/__out.c:1:1: note: ‘bool’ is defined in header ‘<stdbool.h>’; did you forget to ‘#include <stdbool.h>’?
  +++ |+#include <stdbool.h>
    1 | int main(void)
)_",
     "include-for-cpp", 4, 1, 1,
     R"_(hello.c: bool を使うには <stdbool.h> が要ります。ファイルの始めに #include <stdbool.h> を書いてください。)_"},
    {"integer-from-pointer/c/en",
     "hello.c", R"_(int main(void)
{
    int x = "abc";
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:13: warning: initialization of ‘int’ from ‘char *’ makes integer from pointer without a cast [-Wint-conversion]
    3 |     int x = "abc";
      |             ^~~~~
)_",
     "integer-from-pointer", 1, 3, 13,
     R"_(hello.c 3 行目: 整数が要る所にポインタ（アドレスや "…" の文字列）を使っています。変数の型か、使う値を直してください。)_"},
    {"invalid-conversion/cpp/en",
     "hello.cpp", R"_(int main()
{
    int x = "abc";
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:3:13: error: invalid conversion from ‘const char*’ to ‘int’ [-fpermissive]
    3 |     int x = "abc";
      |             ^~~~~
      |             |
      |             const char*
)_",
     "invalid-conversion", 1, 3, 13,
     R"_(hello.cpp 3 行目: const char* 型の値を int 型として使うことはできません。変数の型か、使っている値を確かめてください。)_"},
    {"invalid-operands/c/en",
     "hello.c", R"_(int main(void)
{
    double d = 5;
    int r = d % 2;
    return r;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:15: error: invalid operands to binary % (have ‘double’ and ‘int’)
    4 |     int r = d % 2;
      |               ^
)_",
     "invalid-operands", 1, 4, 15,
     R"_(hello.c 4 行目: 演算子 % は double 型と int 型の組み合わせには使えません。値の型を確かめてください（% は整数どうしにしか使えません）。)_"},
    {"invalid-operands/c/ja",
     "hello.c", R"_(int main(void)
{
    double d = 5;
    int r = d % 2;
    return r;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:15: エラー: 二項演算子 % への無効な被演算子です (‘double’ と ‘int’)
    4 |     int r = d % 2;
      |               ^
)_",
     "invalid-operands", 1, 4, 15,
     R"_(hello.c 4 行目: 演算子 % は double 型と int 型の組み合わせには使えません。値の型を確かめてください（% は整数どうしにしか使えません）。)_"},
    {"invalid-operands-cpp/cpp/en",
     "hello.cpp", R"_(int main()
{
    double d = 5;
    int r = d % 2;
    return r;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:4:15: error: invalid operands of types ‘double’ and ‘int’ to binary ‘operator%’
    4 |     int r = d % 2;
      |             ~ ^ ~
      |             |   |
      |             |   int
      |             double
)_",
     "invalid-operands-cpp", 1, 4, 15,
     R"_(hello.cpp 4 行目: operator% は double 型と int 型の組み合わせには使えません。値の型を確かめてください（% は整数どうしにしか使えません）。)_"},
    {"main-without-type/c/en",
     "hello.c", R"_(main(void)
{
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:1:1: warning: return type defaults to ‘int’ [-Wimplicit-int]
    1 | main(void)
      | ^~~~
)_",
     "main-without-type", 0, 1, 1,
     R"_(hello.c 1 行目: 関数の戻り値の型が書かれていません。int main のように、名前の前に型を書いてください。)_"},
    {"main-without-type/c/ja",
     "hello.c", R"_(main(void)
{
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:1:1: 警告: 戻り値の型をデフォルトの ‘int’ にします [-Wimplicit-int]
    1 | main(void)
      | ^~~~
)_",
     "main-without-type", 0, 1, 1,
     R"_(hello.c 1 行目: 関数の戻り値の型が書かれていません。int main のように、名前の前に型を書いてください。)_"},
    {"missing-closing-paren/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("%d\n", (1 + 2);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:27: error: expected ‘)’ before ‘;’ token
    4 |     printf("%d\n", (1 + 2);
      |           ~               ^
      |                           )
/home/hana/.cache/nollex/__out.c:5:14: error: expected ‘;’ before ‘}’ token
    5 |     return 0;
      |              ^
      |              ;
    6 | }
      | ~             
)_",
     "missing-closing-paren", 1, 4, 27,
     R"_(hello.c 4 行目: ) が足りません。4 行目の ( と ) の数を数え、閉じていない ( に ) を書いてください。)_"},
    {"missing-header/c/en",
     "hello.c", R"_(#include <stdoi.h>
int main(void)
{
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:1:10: fatal error: stdoi.h: No such file or directory
    1 | #include <stdoi.h>
      |          ^~~~~~~~~
compilation terminated.
)_",
     "missing-header", 0, 1, 10,
     R"_(hello.c 1 行目: #include するファイル stdoi.h が見つかりません。ファイル名の綴りを確かめてください。)_"},
    {"missing-header/c/ja",
     "hello.c", R"_(#include <stdoi.h>
int main(void)
{
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:1:10: 致命的エラー: stdoi.h: そのようなファイルやディレクトリはありません
    1 | #include <stdoi.h>
      |          ^~~~~~~~~
コンパイルを停止しました。
)_",
     "missing-header", 0, 1, 10,
     R"_(hello.c 1 行目: #include するファイル stdoi.h が見つかりません。ファイル名の綴りを確かめてください。)_"},
    {"missing-return/c/en",
     "hello.c", R"_(int f(int x)
{
    if (x > 0)
        return 1;
}
int main(void) { return f(1); }
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘f’:
/home/hana/.cache/nollex/__out.c:5:1: warning: control reaches end of non-void function [-Wreturn-type]
    5 | }
      | ^
)_",
     "missing-return", 1, 5, 1,
     R"_(hello.c 5 行目: 値を返す関数が、return を通らずに終わることがあります。関数の終わりまでのどの道にも return 値; を書いてください。)_"},
    {"missing-return/c/ja",
     "hello.c", R"_(int f(int x)
{
    if (x > 0)
        return 1;
}
int main(void) { return f(1); }
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘f’ 内:
/home/hana/.cache/nollex/__out.c:5:1: 警告: 制御が非 void 関数の終りに到達しました [-Wreturn-type]
    5 | }
      | ^
)_",
     "missing-return", 1, 5, 1,
     R"_(hello.c 5 行目: 値を返す関数が、return を通らずに終わることがあります。関数の終わりまでのどの道にも return 値; を書いてください。)_"},
    {"missing-semicolon/c/en",
     "hello.c", R"_(#include <stdio.h>

int main(void)
{
    int n = 3;
    printf("%d\n", n)
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:6:22: error: expected ‘;’ before ‘return’
    6 |     printf("%d\n", n)
      |                      ^
      |                      ;
    7 |     return 0;
      |     ~~~~~~
)_",
     "missing-semicolon", 1, 6, 22,
     R"_(hello.c 6 行目: 文の終わりの ; がありません。6 行目の終わりに ; を書いてください。)_"},
    // Full-width brackets make gcc ask for a ';': the bracket is the mistake to name.
    {"full-width-brackets/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf（"hi"）;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:5: error: ‘printf（’ undeclared (first use in this function); did you mean ‘printf’?
    4 |     printf（"hi"）;
      |     ^~~~~~~~
      |     printf
/home/hana/.cache/nollex/__out.c:4:5: note: each undeclared identifier is reported only once for each function it appears in
/home/hana/.cache/nollex/__out.c:4:13: error: expected ‘;’ before string constant
    4 |     printf（"hi"）;
      |             ^~~~
      |             ;
)_",
     "full-width-character", 1, 4, 5,
     R"_(hello.c 4 行目: 11 桁目に全角の丸括弧「（」があります。半角の「(」に直してください。)_"},
    {"missing-semicolon-in-declaration/cpp/en",
     "hello.cpp", R"_(#include <iostream>
int main()
{
    int x = 1
    std::cout << x;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:5:5: error: expected ‘,’ or ‘;’ before ‘std’
    5 |     std::cout << x;
      |     ^~~
/home/hana/.cache/nollex/__out.cpp:4:9: warning: unused variable ‘x’ [-Wunused-variable]
    4 |     int x = 1
      |         ^
)_",
     "missing-semicolon-in-declaration", 1, 5, 5,
     R"_(hello.cpp 5 行目: std の前で宣言が ; で終わっていません。std の前（前の行の終わりかもしれません）に ; を書いてください。)_"},
    {"needs-iostream/cpp/en",
     "hello.cpp", R"_(int main()
{
    cout << "hi";
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:3:5: error: ‘cout’ was not declared in this scope
    3 |     cout << "hi";
      |     ^~~~
)_",
     "needs-iostream", 1, 3, 5,
     R"_(hello.cpp 3 行目: cout が宣言されていません。ファイルの始めに #include <iostream> を書き、std::cout と書いてください。)_"},
    {"needs-std/cpp/en",
     "hello.cpp", R"_(#include <iostream>
int main()
{
    cout << "hi" << endl;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:4:5: error: ‘cout’ was not declared in this scope; did you mean ‘std::cout’?
    4 |     cout << "hi" << endl;
      |     ^~~~
      |     std::cout
In file included from /home/hana/.cache/nollex/__out.cpp:1:
/usr/include/c++/12/iostream:61:18: note: ‘std::cout’ declared here
   61 |   extern ostream cout;          /// Linked to standard output
      |                  ^~~~
/home/hana/.cache/nollex/__out.cpp:4:21: error: ‘endl’ was not declared in this scope; did you mean ‘std::endl’?
    4 |     cout << "hi" << endl;
      |                     ^~~~
      |                     std::endl
In file included from /usr/include/c++/12/iostream:39:
/usr/include/c++/12/ostream:688:5: note: ‘std::endl’ declared here
  688 |     endl(basic_ostream<_CharT, _Traits>& __os)
      |     ^~~~
)_",
     "needs-std", 1, 4, 5,
     R"_(hello.cpp 4 行目: cout は標準ライブラリの名前で、std:: が要ります。std::cout と書いてください。)_"},
    {"not-assignable/c/en",
     "hello.c", R"_(int main(void)
{
    int a = 1, b = 2;
    if (a + 1 = b)
        return 1;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:15: error: lvalue required as left operand of assignment
    4 |     if (a + 1 = b)
      |               ^
)_",
     "not-assignable", 1, 4, 15,
     R"_(hello.c 4 行目: = の左側が変数ではありません。比べるなら == と書き、代入なら左側に変数を書いてください。)_"},
    {"not-assignable/c/ja",
     "hello.c", R"_(int main(void)
{
    int a = 1, b = 2;
    if (a + 1 = b)
        return 1;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:15: エラー: 代入の左側の被演算子として左辺値が必要です
    4 |     if (a + 1 = b)
      |               ^
)_",
     "not-assignable", 1, 4, 15,
     R"_(hello.c 4 行目: = の左側が変数ではありません。比べるなら == と書き、代入なら左側に変数を書いてください。)_"},
    {"pointer-from-integer/c/en",
     "hello.c", R"_(void f(int *p) { *p = 1; }
int main(void)
{
    int n = 0;
    f(n);
    return n;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:7: warning: passing argument 1 of ‘f’ makes pointer from integer without a cast [-Wint-conversion]
    5 |     f(n);
      |       ^
      |       |
      |       int
/home/hana/.cache/nollex/__out.c:1:13: note: expected ‘int *’ but argument is of type ‘int’
    1 | void f(int *p) { *p = 1; }
      |        ~~~~~^
)_",
     "pointer-from-integer", 1, 5, 7,
     R"_(hello.c 5 行目: ポインタが要る所に整数を使っています。変数のアドレスを渡すなら変数名の前に & を付けてください。)_"},
    {"pointer-from-integer/c/ja",
     "hello.c", R"_(void f(int *p) { *p = 1; }
int main(void)
{
    int n = 0;
    f(n);
    return n;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:5:7: 警告: 1 番目の ‘f’ の引数へ渡すときに整数からキャスト無しにポインタを作成しています [-Wint-conversion]
    5 |     f(n);
      |       ^
      |       |
      |       int
/home/hana/.cache/nollex/__out.c:1:13: 備考: expected ‘int *’ but argument is of type ‘int’
    1 | void f(int *p) { *p = 1; }
      |        ~~~~~^
)_",
     "pointer-from-integer", 1, 5, 7,
     R"_(hello.c 5 行目: ポインタが要る所に整数を使っています。変数のアドレスを渡すなら変数名の前に & を付けてください。)_"},
    {"pointer-integer-comparison/c/en",
     "hello.c", R"_(int main(void)
{
    char *s = "a";
    if (s == 'a')
        return 1;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:11: warning: comparison between pointer and integer
    4 |     if (s == 'a')
      |           ^~
)_",
     "pointer-integer-comparison", 1, 4, 11,
     R"_(hello.c 4 行目: ポインタ（文字列など）と整数（文字など）を比べています。1 文字は ' '、文字列は " " で囲みます。文字列どうしは strcmp で比べてください。)_"},
    {"pointer-integer-comparison/c/ja",
     "hello.c", R"_(int main(void)
{
    char *s = "a";
    if (s == 'a')
        return 1;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:11: 警告: ポインタと整数との比較を行なっています
    4 |     if (s == 'a')
      |           ^~
)_",
     "pointer-integer-comparison", 1, 4, 11,
     R"_(hello.c 4 行目: ポインタ（文字列など）と整数（文字など）を比べています。1 文字は ' '、文字列は " " で囲みます。文字列どうしは strcmp で比べてください。)_"},
    {"redefinition/cpp/en",
     "hello.cpp", R"_(int main()
{
    int x = 1;
    int x = 2;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:4:9: error: redeclaration of ‘int x’
    4 |     int x = 2;
      |         ^
/home/hana/.cache/nollex/__out.cpp:3:9: note: ‘int x’ previously declared here
    3 |     int x = 1;
      |         ^
)_",
     "redefinition", 1, 4, 9,
     R"_(hello.cpp 4 行目: int x が二度定義されています。片方を消すか、別の名前にしてください。)_"},
    {"redefinition/c/ja",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    int x = 2;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:9: エラー: ‘x’ が再定義されました
    4 |     int x = 2;
      |         ^
/home/hana/.cache/nollex/__out.c:3:9: 備考: previous definition of ‘x’ with type ‘int’
    3 |     int x = 1;
      |         ^
)_",
     "redefinition", 1, 4, 9,
     R"_(hello.c 4 行目: x が二度定義されています。片方を消すか、別の名前にしてください。)_"},
    {"return-value-in-void/c/en",
     "hello.c", R"_(void f(void)
{
    return 1;
}
int main(void) { f(); return 0; }
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘f’:
/home/hana/.cache/nollex/__out.c:3:12: warning: ‘return’ with a value, in function returning void [-Wreturn-type]
    3 |     return 1;
      |            ^
/home/hana/.cache/nollex/__out.c:1:6: note: declared here
    1 | void f(void)
      |      ^
)_",
     "return-value-in-void", 1, 3, 12,
     R"_(hello.c 3 行目: void の関数は値を返せません。値を返すなら関数の型を直し、返さないなら return; と書いてください。)_"},
    {"return-value-in-void/c/ja",
     "hello.c", R"_(void f(void)
{
    return 1;
}
int main(void) { f(); return 0; }
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘f’ 内:
/home/hana/.cache/nollex/__out.c:3:12: 警告: void を戻す関数内に値が有る ‘return’ があります [-Wreturn-type]
    3 |     return 1;
      |            ^
/home/hana/.cache/nollex/__out.c:1:6: 備考: ここで宣言されています
    1 | void f(void)
      |      ^
)_",
     "return-value-in-void", 1, 3, 12,
     R"_(hello.c 3 行目: void の関数は値を返せません。値を返すなら関数の型を直し、返さないなら return; と書いてください。)_"},
    {"return-without-value/c/en",
     "hello.c", R"_(int f(void)
{
    return;
}
int main(void) { return f(); }
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘f’:
/home/hana/.cache/nollex/__out.c:3:5: warning: ‘return’ with no value, in function returning non-void [-Wreturn-type]
    3 |     return;
      |     ^~~~~~
/home/hana/.cache/nollex/__out.c:1:5: note: declared here
    1 | int f(void)
      |     ^
)_",
     "return-without-value", 1, 3, 5,
     R"_(hello.c 3 行目: 値を返す関数の return に値がありません。return の後に返す値を書いてください。)_"},
    {"return-without-value/c/ja",
     "hello.c", R"_(int f(void)
{
    return;
}
int main(void) { return f(); }
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘f’ 内:
/home/hana/.cache/nollex/__out.c:3:5: 警告: 非 void を戻す関数内に値が無い ‘return’ があります [-Wreturn-type]
    3 |     return;
      |     ^~~~~~
/home/hana/.cache/nollex/__out.c:1:5: 備考: ここで宣言されています
    1 | int f(void)
      |     ^
)_",
     "return-without-value", 1, 3, 5,
     R"_(hello.c 3 行目: 値を返す関数の return に値がありません。return の後に返す値を書いてください。)_"},
    {"scanf-missing-ampersand/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int n;
    scanf("%d", n);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:13: warning: format ‘%d’ expects argument of type ‘int *’, but argument 2 has type ‘int’ [-Wformat=]
    5 |     scanf("%d", n);
      |            ~^   ~
      |             |   |
      |             |   int
      |             int *
/home/hana/.cache/nollex/__out.c:5:5: warning: ‘n’ is used uninitialized [-Wuninitialized]
    5 |     scanf("%d", n);
      |     ^~~~~~~~~~~~~~
/home/hana/.cache/nollex/__out.c:4:9: note: ‘n’ was declared here
    4 |     int n;
      |         ^
)_",
     "scanf-missing-ampersand", 1, 5, 13,
     R"_(hello.c 5 行目: scanf で読み込む変数 n の前に & がありません。&n と書いてください。)_"},
    {"scanf-missing-ampersand/c/en-comma-in-format",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int a, b;
    scanf("%d, %d", &a, b);
    printf("%d\n", a + b);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:17: warning: format ‘%d’ expects argument of type ‘int *’, but argument 3 has type ‘int’ [-Wformat=]
    5 |     scanf("%d, %d", &a, b);
      |                ~^       ~
      |                 |       |
      |                 int *   int
/home/hana/.cache/nollex/__out.c:5:5: warning: ‘b’ is used uninitialized [-Wuninitialized]
    5 |     scanf("%d, %d", &a, b);
      |     ^~~~~~~~~~~~~~~~~~~~~~
/home/hana/.cache/nollex/__out.c:4:12: note: ‘b’ was declared here
    4 |     int a, b;
      |            ^
)_",
     "scanf-missing-ampersand", 1, 5, 17,
     R"_(hello.c 5 行目: scanf で読み込む変数 b の前に & がありません。&b と書いてください。)_"},
    {"scanf-missing-ampersand/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int n;
    scanf("%d", n);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:5:13: 警告: 書式 ‘%d’ は引数の型が ‘int *’ であると予期されますが、第 2 引数の型は ‘int’ です [-Wformat=]
    5 |     scanf("%d", n);
      |            ~^   ~
      |             |   |
      |             |   int
      |             int *
/home/hana/.cache/nollex/__out.c:5:5: 警告: ‘n’ is used uninitialized [-Wuninitialized]
    5 |     scanf("%d", n);
      |     ^~~~~~~~~~~~~~
/home/hana/.cache/nollex/__out.c:4:9: 備考: ‘n’ はここで定義されています
    4 |     int n;
      |         ^
)_",
     "scanf-missing-ampersand", 1, 5, 13,
     R"_(hello.c 5 行目: scanf で読み込む変数 n の前に & がありません。&n と書いてください。)_"},
    {"set-but-unused/c/en",
     "hello.c", R"_(int main(void)
{
    int total = 0;
    total = 5;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:9: warning: variable ‘total’ set but not used [-Wunused-but-set-variable]
    3 |     int total = 0;
      |         ^~~~~
)_",
     "set-but-unused", 1, 3, 9,
     R"_(hello.c 3 行目: 変数 total に値を入れていますが、その値をどこでも使っていません。使い忘れか、要らない変数でないか確かめてください。)_"},
    {"follow-on/c/en-set-after-error",
     "hello.c", R"_(int main(void)
{
    char s[10];
    s = "abc";
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:7: error: assignment to expression with array type
    4 |     s = "abc";
      |       ^
/home/hana/.cache/nollex/__out.c:3:10: warning: variable ‘s’ set but not used [-Wunused-but-set-variable]
    3 |     char s[10];
      |          ^
)_",
     "follow-on", 4, 3, 10,
     R"_(hello.c 3 行目: このメッセージは、先に出た 4 行目の誤りから続けて出たものかもしれません。まず 4 行目を直して、もう一度コンパイルしてください。)_"},
    {"follow-on/c/ja-set-after-error",
     "hello.c", R"_(int main(void)
{
    char s[10];
    s = "abc";
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:7: エラー: assignment to expression with array type
    4 |     s = "abc";
      |       ^
/home/hana/.cache/nollex/__out.c:3:10: 警告: 変数 ‘s’ が設定されましたが使用されていません [-Wunused-but-set-variable]
    3 |     char s[10];
      |          ^
)_",
     "follow-on", 4, 3, 10,
     R"_(hello.c 3 行目: このメッセージは、先に出た 4 行目の誤りから続けて出たものかもしれません。まず 4 行目を直して、もう一度コンパイルしてください。)_"},
    {"signed-unsigned-comparison/cpp/en",
     "hello.cpp", R"_(#include <vector>
int main()
{
    std::vector<int> v(3);
    for (int i = 0; i < v.size(); i++)
        v[i] = i;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:5:23: warning: comparison of integer expressions of different signedness: ‘int’ and ‘std::vector<int>::size_type’ {aka ‘long unsigned int’} [-Wsign-compare]
    5 |     for (int i = 0; i < v.size(); i++)
      |                     ~~^~~~~~~~~~
)_",
     "signed-unsigned-comparison", 1, 5, 23,
     R"_(hello.cpp 5 行目: 符号付きの int と符号なしの std::vector<int>::size_type を比べています。負の数が正しく比べられないので、型をそろえてください（size() と比べるなら size_t など）。)_"},
    {"statement-without-effect/c/en",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    x == 2;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:7: warning: statement with no effect [-Wunused-value]
    4 |     x == 2;
      |     ~~^~~~
)_",
     "statement-without-effect", 1, 4, 7,
     R"_(hello.c 4 行目: この文は何もしていません。代入なら = と書き、比べるなら if (…) の中に書いてください。)_"},
    {"statement-without-effect/c/ja",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    x == 2;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:7: 警告: 効果がない文です [-Wunused-value]
    4 |     x == 2;
      |     ~~^~~~
)_",
     "statement-without-effect", 1, 4, 7,
     R"_(hello.c 4 行目: この文は何もしていません。代入なら = と書き、比べるなら if (…) の中に書いてください。)_"},
    {"subscript-not-array/c/en",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    return x[0];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:13: error: subscripted value is neither array nor pointer nor vector
    4 |     return x[0];
      |             ^
/home/hana/.cache/nollex/__out.c:3:9: warning: variable ‘x’ set but not used [-Wunused-but-set-variable]
    3 |     int x = 1;
      |         ^
)_",
     "subscript-not-array", 1, 4, 13,
     R"_(hello.c 4 行目: 配列でもポインタでもないものに [ ] を付けています。[ ] の前の名前が配列かどうか確かめてください。)_"},
    {"subscript-not-array/c/ja",
     "hello.c", R"_(int main(void)
{
    int x = 1;
    return x[0];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:13: エラー: 添字が付けられた値が、配列、ポインタまたはベクトルではありません
    4 |     return x[0];
      |             ^
/home/hana/.cache/nollex/__out.c:3:9: 警告: 変数 ‘x’ が設定されましたが使用されていません [-Wunused-but-set-variable]
    3 |     int x = 1;
      |         ^
)_",
     "subscript-not-array", 1, 4, 13,
     R"_(hello.c 4 行目: 配列でもポインタでもないものに [ ] を付けています。[ ] の前の名前が配列かどうか確かめてください。)_"},
    {"too-few-arguments/c/en",
     "hello.c", R"_(int add(int a, int b) { return a + b; }
int main(void)
{
    return add(1);
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:12: error: too few arguments to function ‘add’
    4 |     return add(1);
      |            ^~~
/home/hana/.cache/nollex/__out.c:1:5: note: declared here
    1 | int add(int a, int b) { return a + b; }
      |     ^~~
)_",
     "too-few-arguments", 1, 4, 12,
     R"_(hello.c 4 行目: 関数 add に渡す引数が足りません。関数の宣言と同じ数の引数を渡してください。)_"},
    {"too-few-arguments/c/ja",
     "hello.c", R"_(int add(int a, int b) { return a + b; }
int main(void)
{
    return add(1);
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:12: エラー: 関数 ‘add’ へ渡す引数が少なすぎます
    4 |     return add(1);
      |            ^~~
/home/hana/.cache/nollex/__out.c:1:5: 備考: ここで宣言されています
    1 | int add(int a, int b) { return a + b; }
      |     ^~~
)_",
     "too-few-arguments", 1, 4, 12,
     R"_(hello.c 4 行目: 関数 add に渡す引数が足りません。関数の宣言と同じ数の引数を渡してください。)_"},
    {"too-many-arguments/c/en",
     "hello.c", R"_(int add(int a, int b) { return a + b; }
int main(void)
{
    return add(1, 2, 3);
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:12: error: too many arguments to function ‘add’
    4 |     return add(1, 2, 3);
      |            ^~~
/home/hana/.cache/nollex/__out.c:1:5: note: declared here
    1 | int add(int a, int b) { return a + b; }
      |     ^~~
)_",
     "too-many-arguments", 1, 4, 12,
     R"_(hello.c 4 行目: 関数 add に渡す引数が多すぎます。関数の宣言と同じ数の引数を渡してください。)_"},
    {"too-many-arguments/c/ja",
     "hello.c", R"_(int add(int a, int b) { return a + b; }
int main(void)
{
    return add(1, 2, 3);
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:12: エラー: 関数 ‘add’ への引数が多すぎます
    4 |     return add(1, 2, 3);
      |            ^~~
/home/hana/.cache/nollex/__out.c:1:5: 備考: ここで宣言されています
    1 | int add(int a, int b) { return a + b; }
      |     ^~~
)_",
     "too-many-arguments", 1, 4, 12,
     R"_(hello.c 4 行目: 関数 add に渡す引数が多すぎます。関数の宣言と同じ数の引数を渡してください。)_"},
    {"unclosed-brace/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    for (int i = 0; i < 3; i++) {
        printf("%d\n", i);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:7:1: error: expected declaration or statement at end of input
    7 | }
      | ^
)_",
     "unclosed-brace", 1, 7, 1,
     R"_(hello.c: { に対応する } が足りないまま、ファイルが終わりました。4 行目の { を閉じる } が抜けていないか確かめてください。)_"},
    {"undeclared/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("%d\n", x);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:20: error: ‘x’ undeclared (first use in this function)
    4 |     printf("%d\n", x);
      |                    ^
/home/hana/.cache/nollex/__out.c:4:20: note: each undeclared identifier is reported only once for each function it appears in
)_",
     "undeclared", 1, 4, 20,
     R"_(hello.c 4 行目: x という名前は宣言されていません。綴りを確かめ、使う前に宣言してください。)_"},
    {"undeclared/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("%d\n", x);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:20: エラー: ‘x’ が宣言されていません (この関数内での最初の使用)
    4 |     printf("%d\n", x);
      |                    ^
/home/hana/.cache/nollex/__out.c:4:20: 備考: 未宣言の識別子は出現した各関数内で一回のみ報告されます
)_",
     "undeclared", 1, 4, 20,
     R"_(hello.c 4 行目: x という名前は宣言されていません。綴りを確かめ、使う前に宣言してください。)_"},
    // Full-width quotes: gcc's "undeclared" is about the text between them.
    {"full-width-quotes-undeclared/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf(“hi”);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:12: error: stray ‘\342’ in program
    4 |     printf(<U+201C>hi<U+201D>);
      |            ^~~~~~~~
/home/hana/.cache/nollex/__out.c:4:15: error: stray ‘\342’ in program
    4 |     printf(<U+201C>hi<U+201D>);
      |                      ^~~~~~~~
/home/hana/.cache/nollex/__out.c:4:13: error: ‘hi’ undeclared (first use in this function)
    4 |     printf(“hi”);
      |             ^~
/home/hana/.cache/nollex/__out.c:4:13: note: each undeclared identifier is reported only once for each function it appears in
)_",
     "full-width-character", 1, 4, 12,
     R"_(hello.c 4 行目: 12 桁目に全角の引用符「“」があります。半角の「"」に直してください。)_"},
    {"undeclared-did-you-mean/cpp/en",
     "hello.cpp", R"_(#include <cstdio>
int main()
{
    prinf("hi\n");
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:4:5: error: ‘prinf’ was not declared in this scope; did you mean ‘printf’?
    4 |     prinf("hi\n");
      |     ^~~~~
      |     printf
)_",
     "undeclared-did-you-mean", 1, 4, 5,
     R"_(hello.cpp 4 行目: prinf という名前は宣言されていません。printf の書き間違いなら printf に直してください。)_"},
    {"undefined-main/c/en",
     "hello.c", R"_(#include <stdio.h>
int mian(void)
{
    return 0;
}
)_",
     R"_(/usr/bin/ld: /usr/lib/gcc/x86_64-linux-gnu/12/../../../x86_64-linux-gnu/Scrt1.o: in function `_start':
(.text+0x17): undefined reference to `main'
collect2: error: ld returned 1 exit status
)_",
     "undefined-main", 1, 0, 0,
     R"_(hello.c: main 関数が見つかりません。int main の名前の綴りを確かめてください。)_"},
    {"undefined-reference/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    prinf("hi\n");
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:5: warning: implicit declaration of function ‘prinf’; did you mean ‘printf’? [-Wimplicit-function-declaration]
    4 |     prinf("hi\n");
      |     ^~~~~
      |     printf
/usr/bin/ld: /home/hana/.cache/nollex/__out.obj: in function `main':
__out.c:(.text+0x14): undefined reference to `prinf'
collect2: error: ld returned 1 exit status
)_",
     "undefined-reference", 6, 4, 5,
     R"_(hello.c 4 行目: 関数 prinf の本体がどこにもありません。名前の綴りを確かめるか、prinf を定義してください。)_"},
    // The linker names the program before the second reference of one function.
    {"undefined-reference-twice/cpp/en",
     "hello.cpp", R"_(int half(int n);
int main()
{
    int a = half(4);
    int b = half(6);
    return a + b;
}
)_",
     R"_(/usr/bin/ld: /home/hana/.cache/nollex/__out.obj: in function `main':
__out.cpp:(.text+0xe): undefined reference to `half(int)'
/usr/bin/ld: __out.cpp:(.text+0x1b): undefined reference to `half(int)'
collect2: error: ld returned 1 exit status
)_",
     "undefined-reference", 1, 0, 0,
     R"_(hello.cpp: 関数 half(int) の本体がどこにもありません。名前の綴りを確かめるか、half(int) を定義してください。)_"},
    {"uninitialized-variable/c/en-plain",
     "hello.c", R"_(int main(void)
{
    int total;
    total = total + 1;
    return total;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:11: warning: ‘total’ is used uninitialized [-Wuninitialized]
    4 |     total = total + 1;
      |     ~~~~~~^~~~~~~~~~~
/home/hana/.cache/nollex/__out.c:3:9: note: ‘total’ was declared here
    3 |     int total;
      |         ^~~~~
)_",
     "uninitialized-variable", 1, 4, 11,
     R"_(hello.c 4 行目: 変数 total に値を入れる前に使っています。宣言のときに初めの値を書くか、使う前に値を入れてください。)_"},
    {"scanf-missing-ampersand/c/en-not-uninitialized",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int n;
    scanf("%d", n);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:13: warning: format ‘%d’ expects argument of type ‘int *’, but argument 2 has type ‘int’ [-Wformat=]
    5 |     scanf("%d", n);
      |            ~^   ~
      |             |   |
      |             |   int
      |             int *
/home/hana/.cache/nollex/__out.c:5:5: warning: ‘n’ is used uninitialized [-Wuninitialized]
    5 |     scanf("%d", n);
      |     ^~~~~~~~~~~~~~
/home/hana/.cache/nollex/__out.c:4:9: note: ‘n’ was declared here
    4 |     int n;
      |         ^
)_",
     "scanf-missing-ampersand", 1, 5, 13,
     R"_(hello.c 5 行目: scanf で読み込む変数 n の前に & がありません。&n と書いてください。)_"},
    {"unknown-type/c/en",
     "hello.c", R"_(int main(void)
{
    bool b = 1;
    return b;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:5: error: unknown type name ‘bool’
    3 |     bool b = 1;
      |     ^~~~
/home/hana/.cache/nollex/__out.c:1:1: note: ‘bool’ is defined in header ‘<stdbool.h>’; did you forget to ‘#include <stdbool.h>’?
  +++ |+#include <stdbool.h>
    1 | int main(void)
)_",
     "unknown-type", 1, 3, 5,
     R"_(hello.c 3 行目: bool という型はありません。綴りを確かめ、要る #include を書いてください（C には string 型はありません）。)_"},
    {"unknown-type/c/ja",
     "hello.c", R"_(int main(void)
{
    bool b = 1;
    return b;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:3:5: エラー: 不明な型名 ‘bool’ です
    3 |     bool b = 1;
      |     ^~~~
/home/hana/.cache/nollex/__out.c:1:1: 備考: ‘bool’ is defined in header ‘<stdbool.h>’; did you forget to ‘#include <stdbool.h>’?
  +++ |+#include <stdbool.h>
    1 | int main(void)
)_",
     "unknown-type", 1, 3, 5,
     R"_(hello.c 3 行目: bool という型はありません。綴りを確かめ、要る #include を書いてください（C には string 型はありません）。)_"},
    {"unterminated-character/c/en",
     "hello.c", R"_(int main(void)
{
    char c = 'a;
    return c;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:14: warning: missing terminating ' character
    3 |     char c = 'a;
      |              ^
/home/hana/.cache/nollex/__out.c:3:14: error: missing terminating ' character
    3 |     char c = 'a;
      |              ^~~
/home/hana/.cache/nollex/__out.c:4:5: error: expected expression before ‘return’
    4 |     return c;
      |     ^~~~~~
/home/hana/.cache/nollex/__out.c:3:10: warning: unused variable ‘c’ [-Wunused-variable]
    3 |     char c = 'a;
      |          ^
)_",
     "unterminated-character", 1, 3, 14,
     R"_(hello.c 3 行目: 文字定数の終わりの ' がありません。1 文字なら ' で閉じ、文字列なら " で囲んでください。)_"},
    {"unterminated-character/c/ja",
     "hello.c", R"_(int main(void)
{
    char c = 'a;
    return c;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:3:14: 警告: ' 文字での終端を欠いています
    3 |     char c = 'a;
      |              ^
/home/hana/.cache/nollex/__out.c:3:14: エラー: 終端の ' 文字がありません
    3 |     char c = 'a;
      |              ^~~
/home/hana/.cache/nollex/__out.c:4:5: エラー: expected expression before ‘return’
    4 |     return c;
      |     ^~~~~~
/home/hana/.cache/nollex/__out.c:3:10: 警告: 使用されない変数 ‘c’ です [-Wunused-variable]
    3 |     char c = 'a;
      |          ^
)_",
     "unterminated-character", 1, 3, 14,
     R"_(hello.c 3 行目: 文字定数の終わりの ' がありません。1 文字なら ' で閉じ、文字列なら " で囲んでください。)_"},
    {"unterminated-string/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("hi);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:12: warning: missing terminating " character
    4 |     printf("hi);
      |            ^
/home/hana/.cache/nollex/__out.c:4:12: error: missing terminating " character
    4 |     printf("hi);
      |            ^~~~~
/home/hana/.cache/nollex/__out.c:5:5: error: expected expression before ‘return’
    5 |     return 0;
      |     ^~~~~~
/home/hana/.cache/nollex/__out.c:5:14: error: expected ‘;’ before ‘}’ token
    5 |     return 0;
      |              ^
      |              ;
    6 | }
      | ~             
)_",
     "unterminated-string", 1, 4, 12,
     R"_(hello.c 4 行目: 文字列の終わりの " がありません。文字列の終わりに " を書いてください。)_"},
    {"unterminated-string/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("hi);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:12: 警告: " 文字での終端を欠いています
    4 |     printf("hi);
      |            ^
/home/hana/.cache/nollex/__out.c:4:12: エラー: 終端の " 文字がありません
    4 |     printf("hi);
      |            ^~~~~
/home/hana/.cache/nollex/__out.c:5:5: エラー: expected expression before ‘return’
    5 |     return 0;
      |     ^~~~~~
/home/hana/.cache/nollex/__out.c:5:14: エラー: expected ‘;’ before ‘}’ token
    5 |     return 0;
      |              ^
      |              ;
    6 | }
      | ~             
)_",
     "unterminated-string", 1, 4, 12,
     R"_(hello.c 4 行目: 文字列の終わりの " がありません。文字列の終わりに " を書いてください。)_"},
    {"follow-on/cpp/en-unused-after-error",
     "hello.cpp", R"_(#include <iostream>
int main()
{
    int x = 1
    std::cout << x;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:5:5: error: expected ‘,’ or ‘;’ before ‘std’
    5 |     std::cout << x;
      |     ^~~
/home/hana/.cache/nollex/__out.cpp:4:9: warning: unused variable ‘x’ [-Wunused-variable]
    4 |     int x = 1
      |         ^
)_",
     "follow-on", 4, 4, 9,
     R"_(hello.cpp 4 行目: このメッセージは、先に出た 5 行目の誤りから続けて出たものかもしれません。まず 5 行目を直して、もう一度コンパイルしてください。)_"},
    {"follow-on/c/ja-unused-after-error",
     "hello.c", R"_(int main(void)
{
    int x = 1
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:5: エラー: expected ‘,’ or ‘;’ before ‘return’
    4 |     return x;
      |     ^~~~~~
/home/hana/.cache/nollex/__out.c:3:9: 警告: 使用されない変数 ‘x’ です [-Wunused-variable]
    3 |     int x = 1
      |         ^
)_",
     "follow-on", 4, 3, 9,
     R"_(hello.c 3 行目: このメッセージは、先に出た 4 行目の誤りから続けて出たものかもしれません。まず 4 行目を直して、もう一度コンパイルしてください。)_"},
    {"variable-size-initialized/c/en",
     "hello.c", R"_(int main(void)
{
    int n = 3;
    int a[n] = {0};
    return a[0];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:5: error: variable-sized object may not be initialized
    4 |     int a[n] = {0};
      |     ^~~
)_",
     "variable-size-initialized", 1, 4, 5,
     R"_(hello.c 4 行目: 大きさが変数で決まる配列には = { … } で初めの値を書けません。大きさを定数にするか、宣言の後で値を入れてください。)_"},
    {"variable-size-initialized/c/ja",
     "hello.c", R"_(int main(void)
{
    int n = 3;
    int a[n] = {0};
    return a[0];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:5: エラー: 可変長オブジェクトが初期化されないようです
    4 |     int a[n] = {0};
      |     ^~~
)_",
     "variable-size-initialized", 1, 4, 5,
     R"_(hello.c 4 行目: 大きさが変数で決まる配列には = { … } で初めの値を書けません。大きさを定数にするか、宣言の後で値を入れてください。)_"},
    {"void-main/c/en",
     "hello.c", R"_(void main(void)
{
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:1:6: warning: return type of ‘main’ is not ‘int’ [-Wmain]
    1 | void main(void)
      |      ^~~~
)_",
     "void-main", 0, 1, 6,
     R"_(hello.c 1 行目: main の型が int ではありません。int main と書き、最後に return 0; を書いてください。)_"},
    {"void-main/c/ja",
     "hello.c", R"_(void main(void)
{
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:1:6: 警告: ‘main’ の戻り型が ‘int’ ではありません [-Wmain]
    1 | void main(void)
      |      ^~~~
)_",
     "void-main", 0, 1, 6,
     R"_(hello.c 1 行目: main の型が int ではありません。int main と書き、最後に return 0; を書いてください。)_"},
    {"undeclared-did-you-mean/c/en-plain-quotes",
     "hello.c", R"_(int main(void)
{
    int count = 0;
    cont = 1;
    return count;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function 'main':
/home/hana/.cache/nollex/__out.c:4:5: error: 'cont' undeclared (first use in this function); did you mean 'count'?
    4 |     cont = 1;
      |     ^~~~
      |     count
/home/hana/.cache/nollex/__out.c:4:5: note: each undeclared identifier is reported only once for each function it appears in
)_",
     "undeclared-did-you-mean", 1, 4, 5,
     R"_(hello.c 4 行目: cont という名前は宣言されていません。count の書き間違いなら count に直してください。)_"},
    {"include-without-hash/c/en",
     "hello.c", R"_(include <stdio.h>
int main(void)
{
    printf("hi\n");
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:1:9: error: expected ‘=’, ‘,’, ‘;’, ‘asm’ or ‘__attribute__’ before ‘<’ token
    1 | include <stdio.h>
      |         ^
)_",
     "include-without-hash", 0, 1, 9,
     R"_(hello.c 1 行目: include の前に # がありません。行の初めに # を付けて #include と書いてください。)_"},
    {"include-without-hash/c/ja",
     "hello.c", R"_(include <stdio.h>
int main(void)
{
    printf("hi\n");
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:1:9: エラー: expected ‘=’, ‘,’, ‘;’, ‘asm’ or ‘__attribute__’ before ‘<’ token
    1 | include <stdio.h>
      |         ^
)_",
     "include-without-hash", 0, 1, 9,
     R"_(hello.c 1 行目: include の前に # がありません。行の初めに # を付けて #include と書いてください。)_"},
    {"include-without-hash/cpp/en",
     "hello.cpp", R"_(include <iostream>
int main()
{
    std::cout << "hi";
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp:1:1: error: ‘include’ does not name a type
    1 | include <iostream>
      | ^~~~~~~
)_",
     "include-without-hash", 0, 1, 1,
     R"_(hello.cpp 1 行目: include の前に # がありません。行の初めに # を付けて #include と書いてください。)_"},
    {"for-header-separators/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int i;
    for (i = 0, i < 10, i++)
        printf("%d\n", i);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:15: warning: right-hand operand of comma expression has no effect [-Wunused-value]
    5 |     for (i = 0, i < 10, i++)
      |               ^
/home/hana/.cache/nollex/__out.c:5:28: error: expected ‘;’ before ‘)’ token
    5 |     for (i = 0, i < 10, i++)
      |                            ^
      |                            ;
/home/hana/.cache/nollex/__out.c:5:28: error: expected expression before ‘)’ token
)_",
     "for-header-separators", 4, 5, 28,
     R"_(hello.c 5 行目: for ( ) の中は、初めの式・続ける条件・次へ進む式の 3 つを ; で区切ります。, で区切っていないか確かめ、区切りには ; を書いてください。)_"},
    {"for-header-separators/cpp/en",
     "hello.cpp", R"_(#include <stdio.h>
int main(void)
{
    int i;
    for (i = 0, i < 10, i++)
        printf("%d\n", i);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:5:19: warning: right operand of comma operator has no effect [-Wunused-value]
    5 |     for (i = 0, i < 10, i++)
      |                 ~~^~~~
/home/hana/.cache/nollex/__out.cpp:5:28: error: expected ‘;’ before ‘)’ token
    5 |     for (i = 0, i < 10, i++)
      |                            ^
      |                            ;
/home/hana/.cache/nollex/__out.cpp:7:5: error: expected primary-expression before ‘return’
    7 |     return 0;
      |     ^~~~~~
/home/hana/.cache/nollex/__out.cpp:6:27: error: expected ‘;’ before ‘return’
    6 |         printf("%d\n", i);
      |                           ^
      |                           ;
    7 |     return 0;
      |     ~~~~~~                 
/home/hana/.cache/nollex/__out.cpp:7:5: error: expected primary-expression before ‘return’
    7 |     return 0;
      |     ^~~~~~
/home/hana/.cache/nollex/__out.cpp:6:27: error: expected ‘)’ before ‘return’
    6 |         printf("%d\n", i);
      |                           ^
      |                           )
    7 |     return 0;
      |     ~~~~~~                 
/home/hana/.cache/nollex/__out.cpp:5:9: note: to match this ‘(’
    5 |     for (i = 0, i < 10, i++)
      |         ^
)_",
     "for-header-separators", 4, 5, 28,
     R"_(hello.cpp 5 行目: for ( ) の中は、初めの式・続ける条件・次へ進む式の 3 つを ; で区切ります。, で区切っていないか確かめ、区切りには ; を書いてください。)_"},
    {"follow-on/c/after-for-header/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int i;
    for (i = 0, i < 10, i++)
        printf("%d\n", i);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:15: warning: right-hand operand of comma expression has no effect [-Wunused-value]
    5 |     for (i = 0, i < 10, i++)
      |               ^
/home/hana/.cache/nollex/__out.c:5:28: error: expected ‘;’ before ‘)’ token
    5 |     for (i = 0, i < 10, i++)
      |                            ^
      |                            ;
/home/hana/.cache/nollex/__out.c:5:28: error: expected expression before ‘)’ token
)_",
     "follow-on", 8, 5, 28,
     R"_(hello.c 5 行目: このメッセージは、先に出た 5 行目の誤りから続けて出たものかもしれません。まず 5 行目を直して、もう一度コンパイルしてください。)_"},
    {"brace-list-assignment/c/en",
     "hello.c", R"_(int main(void)
{
    int a[3];
    a = {1, 2, 3};
    return a[0];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:9: error: expected expression before ‘{’ token
    4 |     a = {1, 2, 3};
      |         ^
)_",
     "brace-list-assignment", 1, 4, 9,
     R"_(hello.c 4 行目: { } に並べた値でまとめて入れられるのは、配列を宣言するときだけです。宣言の後では、要素を一つずつ代入してください。)_"},
    {"brace-list-assignment/c/ja",
     "hello.c", R"_(int main(void)
{
    int a[3];
    a = {1, 2, 3};
    return a[0];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:9: エラー: expected expression before ‘{’ token
    4 |     a = {1, 2, 3};
      |         ^
)_",
     "brace-list-assignment", 1, 4, 9,
     R"_(hello.c 4 行目: { } に並べた値でまとめて入れられるのは、配列を宣言するときだけです。宣言の後では、要素を一つずつ代入してください。)_"},
    {"brace-list-assignment/cpp/en",
     "hello.cpp", R"_(int main(void)
{
    int a[3];
    a = {1, 2, 3};
    return a[0];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:4:7: error: assigning to an array from an initializer list
    4 |     a = {1, 2, 3};
      |     ~~^~~~~~~~~~~
)_",
     "brace-list-assignment", 1, 4, 7,
     R"_(hello.cpp 4 行目: { } に並べた値でまとめて入れられるのは、配列を宣言するときだけです。宣言の後では、要素を一つずつ代入してください。)_"},
    {"struct-without-semicolon/cpp/en",
     "hello.cpp", R"_(struct point {
    int x;
    int y;
}
int main(void)
{
    struct point p = {1, 2};
    return p.x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp:4:2: error: expected ‘;’ after struct definition
    4 | }
      |  ^
      |  ;
)_",
     "struct-without-semicolon", 0, 4, 2,
     R"_(hello.cpp 4 行目: struct の定義の終わりの } の後に ; がありません。} の後に ; を書いてください。)_"},
    {"struct-without-semicolon-c/c/en",
     "hello.c", R"_(struct point {
    int x;
    int y;
}
int main(void)
{
    struct point p = {1, 2};
    return p.x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:5:1: error: expected ‘;’, identifier or ‘(’ before ‘int’
    5 | int main(void)
      | ^~~
)_",
     "struct-without-semicolon-c", 0, 5, 1,
     R"_(hello.c 5 行目: すぐ前の struct の定義の終わりの } の後に ; がありません。} の後に ; を書いてください。)_"},
    {"struct-without-semicolon-c/c/ja",
     "hello.c", R"_(struct point {
    int x;
    int y;
}
int main(void)
{
    struct point p = {1, 2};
    return p.x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:5:1: エラー: expected ‘;’, identifier or ‘(’ before ‘int’
    5 | int main(void)
      | ^~~
)_",
     "struct-without-semicolon-c", 0, 5, 1,
     R"_(hello.c 5 行目: すぐ前の struct の定義の終わりの } の後に ; がありません。} の後に ; を書いてください。)_"},
    {"elseif/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int x = 1;
    if (x > 0) {
        printf("+\n");
    } elseif (x < 0) {
        printf("-\n");
    }
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:7:7: warning: implicit declaration of function ‘elseif’ [-Wimplicit-function-declaration]
    7 |     } elseif (x < 0) {
      |       ^~~~~~
/home/hana/.cache/nollex/__out.c:7:21: error: expected ‘;’ before ‘{’ token
    7 |     } elseif (x < 0) {
      |                     ^~
      |                     ;
)_",
     "elseif", 1, 7, 7,
     R"_(hello.c 7 行目: C と C++ には elseif という書き方はありません。else と if の間に空白を入れて else if と書いてください。)_"},
    {"elseif/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int x = 1;
    if (x > 0) {
        printf("+\n");
    } elseif (x < 0) {
        printf("-\n");
    }
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:7:7: 警告: 関数 ‘elseif’ の暗黙的な宣言です [-Wimplicit-function-declaration]
    7 |     } elseif (x < 0) {
      |       ^~~~~~
/home/hana/.cache/nollex/__out.c:7:21: エラー: expected ‘;’ before ‘{’ token
    7 |     } elseif (x < 0) {
      |                     ^~
      |                     ;
)_",
     "elseif", 1, 7, 7,
     R"_(hello.c 7 行目: C と C++ には elseif という書き方はありません。else と if の間に空白を入れて else if と書いてください。)_"},
    {"follow-on/c/after-elseif/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int x = 1;
    if (x > 0) {
        printf("+\n");
    } elseif (x < 0) {
        printf("-\n");
    }
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:7:7: warning: implicit declaration of function ‘elseif’ [-Wimplicit-function-declaration]
    7 |     } elseif (x < 0) {
      |       ^~~~~~
/home/hana/.cache/nollex/__out.c:7:21: error: expected ‘;’ before ‘{’ token
    7 |     } elseif (x < 0) {
      |                     ^~
      |                     ;
)_",
     "follow-on", 4, 7, 21,
     R"_(hello.c 7 行目: このメッセージは、先に出た 7 行目の誤りから続けて出たものかもしれません。まず 7 行目を直して、もう一度コンパイルしてください。)_"},
    {"elseif/cpp/en",
     "hello.cpp", R"_(#include <stdio.h>
int main(void)
{
    int x = 1;
    if (x > 0) {
        printf("+\n");
    } elseif (x < 0) {
        printf("-\n");
    }
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:7:7: error: ‘elseif’ was not declared in this scope
    7 |     } elseif (x < 0) {
      |       ^~~~~~
)_",
     "elseif", 1, 7, 7,
     R"_(hello.cpp 7 行目: C と C++ には elseif という書き方はありません。else と if の間に空白を入れて else if と書いてください。)_"},
    {"else-after-closed-block/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int x = 1;
    if (x > 0) {
        printf("+\n");
    };
    else {
        printf("-\n");
    }
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:8:5: error: ‘else’ without a previous ‘if’
    8 |     else {
      |     ^~~~
)_",
     "else-after-closed-block", 1, 8, 5,
     R"_(hello.c 8 行目: 前の行の } の後の ; で if の文が終わったので、この else は if に続いていません。} の後の ; を消してください。)_"},
    {"else-after-closed-block/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int x = 1;
    if (x > 0) {
        printf("+\n");
    };
    else {
        printf("-\n");
    }
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:8:5: エラー: ‘else’ の前に ‘if’ がありません
    8 |     else {
      |     ^~~~
)_",
     "else-after-closed-block", 1, 8, 5,
     R"_(hello.c 8 行目: 前の行の } の後の ; で if の文が終わったので、この else は if に続いていません。} の後の ; を消してください。)_"},
    {"else-after-closed-block/cpp/en",
     "hello.cpp", R"_(#include <stdio.h>
int main(void)
{
    int x = 1;
    if (x > 0) {
        printf("+\n");
    };
    else {
        printf("-\n");
    }
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:8:5: error: ‘else’ without a previous ‘if’
    8 |     else {
      |     ^~~~
)_",
     "else-after-closed-block", 1, 8, 5,
     R"_(hello.cpp 8 行目: 前の行の } の後の ; で if の文が終わったので、この else は if に続いていません。} の後の ; を消してください。)_"},
    {"used-before-definition/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("%d\n", twice(3));
    return 0;
}
int twice(int n)
{
    return n * 2;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:20: warning: implicit declaration of function ‘twice’ [-Wimplicit-function-declaration]
    4 |     printf("%d\n", twice(3));
      |                    ^~~~~
)_",
     "used-before-definition", 1, 4, 20,
     R"_(hello.c 4 行目: 関数 twice は 7 行目で定義されていますが、使う場所より後ろにあります。twice の定義を使う場所より前に移すか、使う前に宣言（プロトタイプ）を書いてください。)_"},
    {"used-before-definition/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    printf("%d\n", twice(3));
    return 0;
}
int twice(int n)
{
    return n * 2;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:20: 警告: 関数 ‘twice’ の暗黙的な宣言です [-Wimplicit-function-declaration]
    4 |     printf("%d\n", twice(3));
      |                    ^~~~~
)_",
     "used-before-definition", 1, 4, 20,
     R"_(hello.c 4 行目: 関数 twice は 7 行目で定義されていますが、使う場所より後ろにあります。twice の定義を使う場所より前に移すか、使う前に宣言（プロトタイプ）を書いてください。)_"},
    {"used-before-definition/cpp/en",
     "hello.cpp", R"_(#include <stdio.h>
int main(void)
{
    printf("%d\n", twice(3));
    return 0;
}
int twice(int n)
{
    return n * 2;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:4:20: error: ‘twice’ was not declared in this scope
    4 |     printf("%d\n", twice(3));
      |                    ^~~~~
)_",
     "used-before-definition", 1, 4, 20,
     R"_(hello.cpp 4 行目: 関数 twice は 7 行目で定義されていますが、使う場所より後ろにあります。twice の定義を使う場所より前に移すか、使う前に宣言（プロトタイプ）を書いてください。)_"},
    {"cin-with-output-arrow/cpp/en",
     "hello.cpp", R"_(#include <iostream>
int main()
{
    int n;
    std::cin << n;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:5:14: error: no match for ‘operator<<’ (operand types are ‘std::istream’ {aka ‘std::basic_istream<char>’} and ‘int’)
    5 |     std::cin << n;
      |     ~~~~~~~~ ^~ ~
      |          |      |
      |          |      int
      |          std::istream {aka std::basic_istream<char>}
/home/hana/.cache/nollex/__out.cpp:5:14: note: candidate: ‘operator<<(int, int)’ (built-in)
    5 |     std::cin << n;
      |     ~~~~~~~~~^~~~
/home/hana/.cache/nollex/__out.cpp:5:14: note:   no known conversion for argument 1 from ‘std::istream’ {aka ‘std::basic_istream<char>’} to ‘int’
)_",
     "cin-with-output-arrow", 1, 5, 14,
     R"_(hello.cpp 5 行目: std::cin から読み込むときは >> を使います。std::cin の後の << を >> に直してください。)_"},
    {"cout-with-input-arrow/cpp/en",
     "hello.cpp", R"_(#include <iostream>
int main()
{
    int n = 1;
    std::cout >> n;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:5:15: error: no match for ‘operator>>’ (operand types are ‘std::ostream’ {aka ‘std::basic_ostream<char>’} and ‘int’)
    5 |     std::cout >> n;
      |     ~~~~~~~~~ ^~ ~
      |          |       |
      |          |       int
      |          std::ostream {aka std::basic_ostream<char>}
/home/hana/.cache/nollex/__out.cpp:5:15: note: candidate: ‘operator>>(int, int)’ (built-in)
    5 |     std::cout >> n;
      |     ~~~~~~~~~~^~~~
/home/hana/.cache/nollex/__out.cpp:5:15: note:   no known conversion for argument 1 from ‘std::ostream’ {aka ‘std::basic_ostream<char>’} to ‘int’
)_",
     "cout-with-input-arrow", 1, 5, 15,
     R"_(hello.cpp 5 行目: std::cout に書き出すときは << を使います。std::cout の後の >> を << に直してください。)_"},
    {"string-literal-comparison/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    char s[10];
    scanf("%9s", s);
    if (s == "yes")
        printf("ok\n");
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:6:11: warning: comparison with string literal results in unspecified behavior [-Waddress]
    6 |     if (s == "yes")
      |           ^~
)_",
     "string-literal-comparison", 1, 6, 11,
     R"_(hello.c 6 行目: 文字列を == や != で比べると、中身ではなく置き場所（アドレス）を比べてしまいます。中身を比べるには strcmp を使い、strcmp(…, …) == 0 なら等しいと分かります。)_"},
    {"string-literal-comparison/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    char s[10];
    scanf("%9s", s);
    if (s == "yes")
        printf("ok\n");
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:6:11: 警告: 文字列リテラルの比較結果は不定です [-Waddress]
    6 |     if (s == "yes")
      |           ^~
)_",
     "string-literal-comparison", 1, 6, 11,
     R"_(hello.c 6 行目: 文字列を == や != で比べると、中身ではなく置き場所（アドレス）を比べてしまいます。中身を比べるには strcmp を使い、strcmp(…, …) == 0 なら等しいと分かります。)_"},
    {"empty-loop-body/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int i;
    for (i = 0; i < 3; i++);
        printf("%d\n", i);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:5: warning: this ‘for’ clause does not guard... [-Wmisleading-indentation]
    5 |     for (i = 0; i < 3; i++);
      |     ^~~
/home/hana/.cache/nollex/__out.c:6:9: note: ...this statement, but the latter is misleadingly indented as if it were guarded by the ‘for’
    6 |         printf("%d\n", i);
      |         ^~~~~~
)_",
     "empty-loop-body", 1, 5, 5,
     R"_(hello.c 5 行目: for ( ) の直後の ; が、何もしない 1 つの文として for の中身になっています。次の行を for の中に入れるなら、( ) の後の ; を消してください。)_"},
    {"empty-loop-body/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int i;
    for (i = 0; i < 3; i++);
        printf("%d\n", i);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:5:5: 警告: this ‘for’ clause does not guard... [-Wmisleading-indentation]
    5 |     for (i = 0; i < 3; i++);
      |     ^~~
/home/hana/.cache/nollex/__out.c:6:9: 備考: ...this statement, but the latter is misleadingly indented as if it were guarded by the ‘for’
    6 |         printf("%d\n", i);
      |         ^~~~~~
)_",
     "empty-loop-body", 1, 5, 5,
     R"_(hello.c 5 行目: for ( ) の直後の ; が、何もしない 1 つの文として for の中身になっています。次の行を for の中に入れるなら、( ) の後の ; を消してください。)_"},
    {"misleading-indentation/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int i, sum = 0;
    for (i = 0; i < 3; i++)
        sum += i;
        printf("%d\n", sum);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:5: warning: this ‘for’ clause does not guard... [-Wmisleading-indentation]
    5 |     for (i = 0; i < 3; i++)
      |     ^~~
/home/hana/.cache/nollex/__out.c:7:9: note: ...this statement, but the latter is misleadingly indented as if it were guarded by the ‘for’
    7 |         printf("%d\n", sum);
      |         ^~~~~~
)_",
     "misleading-indentation", 1, 5, 5,
     R"_(hello.c 5 行目: for が受け持つのは、すぐ後の 1 つの文だけです。字下げした次の行も for に入れるなら、入れたい文をまとめて { } で囲んでください。)_"},
    {"subscript-not-integer/c/en",
     "hello.c", R"_(int main(void)
{
    int a[5] = {0};
    double i = 1;
    return a[i];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:13: error: array subscript is not an integer
    5 |     return a[i];
      |             ^
/home/hana/.cache/nollex/__out.c:4:12: warning: variable ‘i’ set but not used [-Wunused-but-set-variable]
    4 |     double i = 1;
      |            ^
/home/hana/.cache/nollex/__out.c:3:9: warning: variable ‘a’ set but not used [-Wunused-but-set-variable]
    3 |     int a[5] = {0};
      |         ^
)_",
     "subscript-not-integer", 1, 5, 13,
     R"_(hello.c 5 行目: 配列の番号（[ ] の中）は整数でなければなりません。[ ] の中を int 型の変数や式にしてください。)_"},
    {"subscript-not-integer/c/ja",
     "hello.c", R"_(int main(void)
{
    int a[5] = {0};
    double i = 1;
    return a[i];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:5:13: エラー: 配列の添字が整数型ではありません
    5 |     return a[i];
      |             ^
/home/hana/.cache/nollex/__out.c:4:12: 警告: 変数 ‘i’ が設定されましたが使用されていません [-Wunused-but-set-variable]
    4 |     double i = 1;
      |            ^
/home/hana/.cache/nollex/__out.c:3:9: 警告: 変数 ‘a’ が設定されましたが使用されていません [-Wunused-but-set-variable]
    3 |     int a[5] = {0};
      |         ^
)_",
     "subscript-not-integer", 1, 5, 13,
     R"_(hello.c 5 行目: 配列の番号（[ ] の中）は整数でなければなりません。[ ] の中を int 型の変数や式にしてください。)_"},
    {"subscript-not-integer/cpp/en",
     "hello.cpp", R"_(int main(void)
{
    int a[5] = {0};
    double i = 1;
    return a[i];
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:5:13: error: invalid types ‘int [5][double]’ for array subscript
    5 |     return a[i];
      |             ^
)_",
     "subscript-not-integer", 1, 5, 13,
     R"_(hello.cpp 5 行目: 配列の番号（[ ] の中）は整数でなければなりません。[ ] の中を int 型の変数や式にしてください。)_"},
    {"main-parameters/c/en",
     "hello.c", R"_(int main(int argc, char argv)
{
    return argc;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:1:5: warning: second argument of ‘main’ should be ‘char **’ [-Wmain]
    1 | int main(int argc, char argv)
      |     ^~~~
)_",
     "main-parameters", 0, 1, 5,
     R"_(hello.c 1 行目: main の引数の型が決まりと違います。引数を使わないなら int main(void)、使うなら int main(int argc, char *argv[]) と書いてください。)_"},
    {"main-parameters/c/ja",
     "hello.c", R"_(int main(int argc, char argv)
{
    return argc;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c:1:5: 警告: ‘main’ の第二引数は ‘char **’ であるべきです [-Wmain]
    1 | int main(int argc, char argv)
      |     ^~~~
)_",
     "main-parameters", 0, 1, 5,
     R"_(hello.c 1 行目: main の引数の型が決まりと違います。引数を使わないなら int main(void)、使うなら int main(int argc, char *argv[]) と書いてください。)_"},
    {"main-parameters/cpp/en",
     "hello.cpp", R"_(int main(int argc, char argv)
{
    return argc;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp:1:5: warning: second argument of ‘int main(int, char)’ should be ‘char **’ [-Wmain]
    1 | int main(int argc, char argv)
      |     ^~~~
)_",
     "main-parameters", 0, 1, 5,
     R"_(hello.cpp 1 行目: main の引数の型が決まりと違います。引数を使わないなら int main(void)、使うなら int main(int argc, char *argv[]) と書いてください。)_"},
    {"comma-instead-of-and/c/en",
     "hello.c", R"_(int main(void)
{
    int x = 5;
    if (x > 0, x < 10)
        return 1;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:14: warning: left-hand operand of comma expression has no effect [-Wunused-value]
    4 |     if (x > 0, x < 10)
      |              ^
)_",
     "comma-instead-of-and", 1, 4, 14,
     R"_(hello.c 4 行目: , （カンマ）の左側の式は、計算されても結果が捨てられます。条件を「かつ」でつなぐなら && と書いてください。)_"},
    {"comma-instead-of-and/c/ja",
     "hello.c", R"_(int main(void)
{
    int x = 5;
    if (x > 0, x < 10)
        return 1;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:4:14: 警告: カンマ演算子の左側の式に効力がありません [-Wunused-value]
    4 |     if (x > 0, x < 10)
      |              ^
)_",
     "comma-instead-of-and", 1, 4, 14,
     R"_(hello.c 4 行目: , （カンマ）の左側の式は、計算されても結果が捨てられます。条件を「かつ」でつなぐなら && と書いてください。)_"},
    {"comma-instead-of-and/cpp/en",
     "hello.cpp", R"_(int main(void)
{
    int x = 5;
    if (x > 0, x < 10)
        return 1;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:4:11: warning: left operand of comma operator has no effect [-Wunused-value]
    4 |     if (x > 0, x < 10)
      |         ~~^~~
)_",
     "comma-instead-of-and", 1, 4, 11,
     R"_(hello.cpp 4 行目: , （カンマ）の左側の式は、計算されても結果が捨てられます。条件を「かつ」でつなぐなら && と書いてください。)_"},
    {"return-local-address/c/en",
     "hello.c", R"_(int *f(void)
{
    int a[3] = {1, 2, 3};
    return a;
}
int main(void)
{
    return *f();
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘f’:
/home/hana/.cache/nollex/__out.c:4:12: warning: function returns address of local variable [-Wreturn-local-addr]
    4 |     return a;
      |            ^
)_",
     "return-local-address", 1, 4, 12,
     R"_(hello.c 4 行目: 関数の中の変数は、関数が終わるとなくなります。そのアドレスを返しても、呼んだ側では使えません。値そのものを返すか、呼ぶ側の変数のアドレスを引数で受け取ってください。)_"},
    {"return-local-address/c/ja",
     "hello.c", R"_(int *f(void)
{
    int a[3] = {1, 2, 3};
    return a;
}
int main(void)
{
    return *f();
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘f’ 内:
/home/hana/.cache/nollex/__out.c:4:12: 警告: 関数が局所変数のアドレスを返します [-Wreturn-local-addr]
    4 |     return a;
      |            ^
)_",
     "return-local-address", 1, 4, 12,
     R"_(hello.c 4 行目: 関数の中の変数は、関数が終わるとなくなります。そのアドレスを返しても、呼んだ側では使えません。値そのものを返すか、呼ぶ側の変数のアドレスを引数で受け取ってください。)_"},
    {"return-local-address/cpp/en",
     "hello.cpp", R"_(int *f(void)
{
    int a[3] = {1, 2, 3};
    return a;
}
int main(void)
{
    return *f();
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int* f()’:
/home/hana/.cache/nollex/__out.cpp:4:12: warning: address of local variable ‘a’ returned [-Wreturn-local-addr]
    4 |     return a;
      |            ^
/home/hana/.cache/nollex/__out.cpp:3:9: note: declared here
    3 |     int a[3] = {1, 2, 3};
      |         ^
)_",
     "return-local-address", 1, 4, 12,
     R"_(hello.cpp 4 行目: 関数の中の変数は、関数が終わるとなくなります。そのアドレスを返しても、呼んだ側では使えません。値そのものを返すか、呼ぶ側の変数のアドレスを引数で受け取ってください。)_"},
    {"null-argument/c/en",
     "hello.c", R"_(#include <stdio.h>
#include <string.h>
int main(void)
{
    char buf[10];
    strcpy(buf, NULL);
    printf("%s\n", buf);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:6:5: warning: argument 2 null where non-null expected [-Wnonnull]
    6 |     strcpy(buf, NULL);
      |     ^~~~~~
In file included from __out.c:2:
/usr/include/string.h:141:14: note: in a call to function ‘strcpy’ declared ‘nonnull’
  141 | extern char *strcpy (char *__restrict __dest, const char *__restrict __src)
      |              ^~~~~~
)_",
     "null-argument", 1, 6, 5,
     R"_(hello.c 6 行目: 2 番目の引数に NULL を渡していますが、この関数には NULL を渡せません。文字列や配列など、中身のある場所を渡してください。)_"},
    {"null-argument/c/ja",
     "hello.c", R"_(#include <stdio.h>
#include <string.h>
int main(void)
{
    char buf[10];
    strcpy(buf, NULL);
    printf("%s\n", buf);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:6:5: 警告: argument 2 null where non-null expected [-Wnonnull]
    6 |     strcpy(buf, NULL);
      |     ^~~~~~
次のファイルから読み込み:  __out.c:2:
/usr/include/string.h:141:14: 備考: in a call to function ‘strcpy’ declared ‘nonnull’
  141 | extern char *strcpy (char *__restrict __dest, const char *__restrict __src)
      |              ^~~~~~
)_",
     "null-argument", 1, 6, 5,
     R"_(hello.c 6 行目: 2 番目の引数に NULL を渡していますが、この関数には NULL を渡せません。文字列や配列など、中身のある場所を渡してください。)_"},
    {"assignment-in-condition/c/while/en",
     "hello.c", R"_(int main(void)
{
    int x = 0;
    while (x = 5)
        x--;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:4:12: warning: suggest parentheses around assignment used as truth value [-Wparentheses]
    4 |     while (x = 5)
      |            ^
)_",
     "assignment-in-condition", 1, 4, 12,
     R"_(hello.c 4 行目: 条件の中で = （代入）を使っています。等しいかどうかを調べるなら == と書いてください。)_"},
    {"assignment-in-condition/cpp/while/en",
     "hello.cpp", R"_(int main(void)
{
    int x = 0;
    while (x = 5)
        x--;
    return x;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.cpp: In function ‘int main()’:
/home/hana/.cache/nollex/__out.cpp:4:14: warning: suggest parentheses around assignment used as truth value [-Wparentheses]
    4 |     while (x = 5)
      |            ~~^~~
)_",
     "assignment-in-condition", 1, 4, 14,
     R"_(hello.cpp 4 行目: 条件の中で = （代入）を使っています。等しいかどうかを調べるなら == と書いてください。)_"},
    {"int-format-for-double/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    double x = 1.5;
    printf("%d\n", x);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:14: warning: format ‘%d’ expects argument of type ‘int’, but argument 2 has type ‘double’ [-Wformat=]
    5 |     printf("%d\n", x);
      |             ~^     ~
      |              |     |
      |              int   double
      |             %f
)_",
     "int-format-for-double", 1, 5, 14,
     R"_(hello.c 5 行目: 書式 %d は整数のためのものですが、x は double 型です。double の値を表示するには %f を使ってください。)_"},
    {"int-format-for-double/c/ja",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    double x = 1.5;
    printf("%d\n", x);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: 関数 ‘main’ 内:
/home/hana/.cache/nollex/__out.c:5:14: 警告: 書式 ‘%d’ は引数の型が ‘int’ であると予期されますが、第 2 引数の型は ‘double’ です [-Wformat=]
    5 |     printf("%d\n", x);
      |             ~^     ~
      |              |     |
      |              int   double
      |             %f
)_",
     "int-format-for-double", 1, 5, 14,
     R"_(hello.c 5 行目: 書式 %d は整数のためのものですが、x は double 型です。double の値を表示するには %f を使ってください。)_"},
    {"double-format-for-int/c/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int n = 3;
    printf("%f\n", n);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:14: warning: format ‘%f’ expects argument of type ‘double’, but argument 2 has type ‘int’ [-Wformat=]
    5 |     printf("%f\n", n);
      |             ~^     ~
      |              |     |
      |              |     int
      |              double
      |             %d
)_",
     "double-format-for-int", 1, 5, 14,
     R"_(hello.c 5 行目: 書式 %f は double のためのものですが、n は int 型です。整数を表示するには %d を使ってください。)_"},
    {"scanf-missing-ampersand/c/second-variable/en",
     "hello.c", R"_(#include <stdio.h>
int main(void)
{
    int a, b;
    scanf("%d %d", &a, b);
    printf("%d\n", a + b);
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:5:16: warning: format ‘%d’ expects argument of type ‘int *’, but argument 3 has type ‘int’ [-Wformat=]
    5 |     scanf("%d %d", &a, b);
      |               ~^       ~
      |                |       |
      |                int *   int
/home/hana/.cache/nollex/__out.c:5:5: warning: ‘b’ is used uninitialized [-Wuninitialized]
    5 |     scanf("%d %d", &a, b);
      |     ^~~~~~~~~~~~~~~~~~~~~
/home/hana/.cache/nollex/__out.c:4:12: note: ‘b’ was declared here
    4 |     int a, b;
      |            ^
)_",
     "scanf-missing-ampersand", 1, 5, 16,
     R"_(hello.c 5 行目: scanf で読み込む変数 b の前に & がありません。&b と書いてください。)_"},
    {"unused-variable/c/en",
     "hello.c", R"_(int main(void)
{
    int count;
    return 0;
}
)_",
     R"_(/home/hana/.cache/nollex/__out.c: In function ‘main’:
/home/hana/.cache/nollex/__out.c:3:9: warning: unused variable ‘count’ [-Wunused-variable]
    3 |     int count;
      |         ^~~~~
)_",
     "unused-variable", 1, 3, 9,
     R"_(hello.c 3 行目: 変数 count は宣言されただけで使われていません。要らなければ宣言を消してください。)_"},
};

const Explainer& installed()
{
    static const Explainer e = Explainer::installed();
    return e;
}

}  // namespace

TEST(ExplainTable, RealCompilerOutputByKind)
{
    for (const Row& row : Rows) {
        SCOPED_TRACE(row.name);
        const QString page = QString::fromUtf8(row.page);
        const BuiltPage built{QStringLiteral("/home/hana/.cache/nollex/__out.") +
                                  (page.endsWith(QStringLiteral(".cpp")) ? QStringLiteral("cpp") : QStringLiteral("c")),
                              page, QString::fromUtf8(row.text)};
        const QList<Explanation> got = installed().explain(QString::fromUtf8(row.output), built);
        const auto it = std::find_if(got.begin(), got.end(), [&](const Explanation& e) {
            return e.kind == QLatin1String(row.kind);
        });
        ASSERT_NE(it, got.end());
        EXPECT_EQ(it->messageLine, row.messageLine);
        EXPECT_EQ(it->place.line, row.line);
        EXPECT_EQ(it->place.column, row.column);
        EXPECT_EQ(it->text.toStdString(), row.explanation);
        for (const Explanation& e : got)
            EXPECT_FALSE(e.text.contains(QStringLiteral("__out"))) << e.text.toStdString();
    }
}

// Mistakes that gcc words as another kind's message, and messages that follow
// from an earlier mistake: the other kind's advice would be wrong, so it is not given.
TEST(ExplainTable, NoAdviceOfAnotherKind)
{
    const struct {
        const char* row;
        const char* kind;  // must not be among the row's explanations
    } rows[] = {
        {"brace-list-assignment/c/en", "expected-expression"},
        {"for-header-separators/c/en", "missing-semicolon"},
        {"for-header-separators/cpp/en", "missing-semicolon"},
        {"follow-on/c/after-for-header/en", "expected-expression"},
        {"follow-on/c/after-elseif/en", "missing-semicolon"},
        {"elseif/c/en", "implicit-declaration"},
        {"include-without-hash/c/en", "missing-semicolon"},
        {"scanf-missing-ampersand/c/en-not-uninitialized", "uninitialized-variable"},
        {"scanf-missing-ampersand/c/second-variable/en", "uninitialized-variable"},
        {"follow-on/cpp/en-unused-after-error", "unused-variable"},
        {"follow-on/c/en-set-after-error", "set-but-unused"},
        {"else-after-closed-block/c/en", "else-without-if"},
    };
    for (const auto& r : rows) {
        const auto row = std::find_if(std::begin(Rows), std::end(Rows),
                                      [&](const Row& x) { return qstrcmp(x.name, r.row) == 0; });
        ASSERT_NE(row, std::end(Rows)) << r.row;
        const QString page = QString::fromUtf8(row->page);
        const BuiltPage built{QStringLiteral("/home/hana/.cache/nollex/__out.") +
                                  (page.endsWith(QStringLiteral(".cpp")) ? QStringLiteral("cpp") : QStringLiteral("c")),
                              page, QString::fromUtf8(row->text)};
        for (const Explanation& e : installed().explain(QString::fromUtf8(row->output), built))
            EXPECT_NE(e.kind.toStdString(), r.kind) << r.row;
    }
}

// Every kind of the table has its row above, in English at least.
TEST(ExplainTable, EveryKindHasARow)
{
    QString error;
    const std::optional<KindTable> table = parseKindTable(builtInKindTableText(), &error);
    ASSERT_TRUE(table) << error.toStdString();
    EXPECT_GE(table->kinds.size(), 40);
    QSet<QString> tested;
    for (const Row& row : Rows) {
        if (QString::fromUtf8(row.name).contains(QStringLiteral("/en")))
            tested.insert(QString::fromUtf8(row.kind));
    }
    // The window chooses this one: the reader cannot know the project's pages.
    tested.insert(QStringLiteral("undefined-reference-in-project"));
    for (const ExplainedKind& k : table->kinds) {
        if (!k.report) {  // a run-time kind has its row in the report table
            EXPECT_TRUE(tested.contains(k.name)) << k.name.toStdString();
        }
    }
}
