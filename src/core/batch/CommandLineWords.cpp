#include "CommandLineWords.h"

#include <cstring>

QString CommandLineWords::translate(const char* context, const char* sourceText, const char*, int) const
{
    if (!context || !sourceText || std::strcmp(context, "QCommandLineParser") != 0)
        return QString();
    struct Words {
        const char* english;
        const char* chinese;
    };
    static constexpr Words kWords[] = {
        { "Usage: %1", "用法：%1" },
        { "[options]", "[选项]" },
        { "Options:", "选项：" },
        { "Arguments:", "参数：" },
        { "Displays help on commandline options.", "显示命令行选项的说明。" },
        { "Displays help including Qt specific options.", "显示命令行选项的说明，包括 Qt 的选项。" },
        { "Displays version information.", "显示版本。" },
        { "Unknown option '%1'.", "没有这个选项：“%1”。" },
        { "Unknown options: %1.", "没有这些选项：%1。" },
        { "Missing value after '%1'.", "“%1”后面缺少值。" },
        { "Unexpected value after '%1'.", "“%1”后面不应有值。" },
    };
    for (const Words& words : kWords)
        if (std::strcmp(sourceText, words.english) == 0)
            return QString::fromUtf8(words.chinese);
    return QString();
}
