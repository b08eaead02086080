#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// In the sanitizer build, libdvdread's own faults are let pass: its answer to
// an absurd table size in a damaged IFO file is a failed allocation, which it
// handles; a damaged title set attribute table leaks; and a thread left
// running in a disc's endless commands holds tables that leak checking at
// exit sees as lost (matching them needs full allocation stacks).
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1:fast_unwind_on_malloc=0";
}
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:ifoRead_FP_PGC\nleak:ifoRead_PGCI_UT\nleak:ifoRead_VOBU_ADMAP\n"
           "leak:ifoRead_VTS_ATRT\n";
}

// Every test program runs headless with its own empty settings and data
// directories, so no test sees the user's files or another test's.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vidora"));
    return RUN_ALL_TESTS();
}
