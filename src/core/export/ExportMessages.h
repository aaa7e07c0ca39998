#pragma once
// Texts shared by the export command and its writers.

#include "core/base/SaveTargetText.h"

#include <QString>

inline const char* const kExportFailedText = "文件保存出错！";
inline const char* const kExportNoRoomText = "文件保存出错：磁盘已满，%1 没有写入（原来的文件保持不变）。请腾出磁盘空间后再导出。";
inline const char* const kOverwriteQuestionText = "该文件已存在，是否覆盖？";

// The CSV was saved, but count characters (emoji, rarer characters) are
// not in GBK and were written as "?".
inline QString BeyondGbkMessage(int count)
{
    return QStringLiteral("有 %1 个字符（如表情符号）无法用 GBK 编码保存，CSV 文件中已写成“?”。"
                          "导出为 Excel 工作簿（.xlsx）可保留全部内容。")
        .arg(count);
}

// The workbook was saved, but count cells were longer than a cell takes.
inline QString CutCellsMessage(int count)
{
    return QStringLiteral("有 %1 个单元格超过 32767 个字符，工作簿中只保存了每格的前 32767 个字符。"
                          "导出为 CSV 文件可保留全部内容。")
        .arg(count);
}
