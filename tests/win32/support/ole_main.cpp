// Entry point of the window and layer tests: OLE initialised on this thread, as
// on a host's user-interface thread.

#include <gtest/gtest.h>
#include <ole2.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (FAILED(OleInitialize(nullptr))) {
        return 2;
    }
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
