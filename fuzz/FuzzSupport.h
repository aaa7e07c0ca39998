#pragma once
// Shared pieces of the fuzz targets: an application object for the event
// pumping that progress steps do, and helpers to read the input.

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzsupport {

// The application, its data folder a temporary one: what the tool keeps of
// an input (a list page it could not read) goes there, not into the home.
inline void EnsureApplication()
{
    static QTemporaryDir dataHome;
    if (qEnvironmentVariable("XDG_DATA_HOME") != dataHome.path())
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = { name, nullptr };
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

// Input bytes as UTF-8 (invalid sequences become replacement characters).
inline QString Text(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

} // namespace fuzzsupport

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            fuzzsupport::Fail(#condition);                                                                   \
    } while (false)
