#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    /* The dialog titles looked up by name, and everything the program shows, are
       code page 932 bytes. */
    if (GetACP() != 932) {
        fprintf(stderr, "The ANSI code page is %u, not 932: run with LC_CTYPE=ja_JP.UTF-8.\n", GetACP());
        return 1;
    }
    return RUN_ALL_TESTS();
}
