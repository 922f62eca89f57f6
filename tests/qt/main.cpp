// The Qt tests run with an application object, on Qt's offscreen platform
// and the GStreamer media backend unless told otherwise.

#include <gtest/gtest.h>

#include <QApplication>

// What the system's media and font libraries allocate and keep for the life
// of the process (the sound server's client, with no sound server to talk
// to, among them): not ours to free. Read only in the sanitizer build.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libpulse.so\n"
           "leak:libgstreamer-1.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libfontconfig.so\n";
}

// Some GStreamer plugins (the "bad" set a desktop often has) allocate
// through frames the fast unwinder cannot walk: their leaks would then show
// no library for the suppressions above to match.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND")) {
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
