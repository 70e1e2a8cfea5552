// Entry of the end-to-end saver tests: --saver=PATH names the program under
// test (default: the probe saver beside this program).
#include "tests/host/saver_under_test.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--saver=", 8) == 0)
            SetSaverUnderTest(argv[i] + 8);
    return RUN_ALL_TESTS();
}
