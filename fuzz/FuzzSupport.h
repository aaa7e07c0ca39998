#pragma once
// Shared pieces of the fuzz targets: an application object for the event
// pumping that progress steps do, and helpers to read the input.

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzsupport {

inline void EnsureApplication()
{
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
