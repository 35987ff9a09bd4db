// Entry of the window tests: the program's own application object under the
// offscreen platform, so that commands run exactly as in the program.
#include "app/WordlarkApplication.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps state of its own (the file dialog's last folder, caches) in the
    // user's folders; the tests keep theirs in a folder of their own.
    TempDir userFolders;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(userFolders / "config"));
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(userFolders / "cache"));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(userFolders / "data"));
    TWordlarkApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
