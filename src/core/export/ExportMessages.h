#pragma once
// Texts shared by the export command and its writers.

#include <QString>

inline const char* const kExportFailedText = "文件保存出错！";
inline const char* const kOverwriteQuestionText = "该文件已存在，是否覆盖？";
inline const char* const kCannotReplaceText = "该文件无法覆盖，请确认该文件没被其他软件打开！";
inline const char* const kSaveTargetIsFolderText = "无法保存：%1 是一个文件夹。";
inline const char* const kSaveTargetNotInFolderText = "无法保存：%1 所在的位置不是文件夹。";

// The workbook was saved, but count cells were longer than a cell takes.
inline QString CutCellsMessage(int count)
{
    return QStringLiteral("有 %1 个单元格超过 32767 个字符，工作簿中只保存了每格的前 32767 个字符。"
                          "导出为 CSV 文件可保留全部内容。")
        .arg(count);
}
