#pragma once
// Texts shared by the export command and its writers.

#include "core/base/FileReplace.h"

#include <QString>

inline const char* const kExportFailedText = "文件保存出错！";
inline const char* const kOverwriteQuestionText = "该文件已存在，是否覆盖？";
inline const char* const kCannotReplaceText = "该文件无法覆盖，请确认该文件没被其他软件打开！";
inline const char* const kSaveTargetIsFolderText = "无法保存：%1 是一个文件夹。";
inline const char* const kSaveTargetNotInFolderText = "无法保存：%1 所在的位置不是文件夹。";
inline const char* const kSaveTargetFolderMissingText = "无法保存：%1 所在的文件夹不存在。";
inline const char* const kSaveTargetFolderReadOnlyText
    = "无法保存：%1 所在的文件夹不能写入（只读或没有权限）。";
inline const char* const kSaveTargetFileReadOnlyText = "无法保存：%1 是只读文件。";

// What stops a file from being written at path, for the user; empty when
// nothing does. A file another program holds is the one case of
// kCannotReplaceText.
inline QString SaveTargetProblemText(SaveTarget target, const QString& path)
{
    const char* text = nullptr;
    switch (target) {
    case SaveTarget::Usable:
        return {};
    case SaveTarget::IsFolder:
        text = kSaveTargetIsFolderText;
        break;
    case SaveTarget::NotInFolder:
        text = kSaveTargetNotInFolderText;
        break;
    case SaveTarget::FolderMissing:
        text = kSaveTargetFolderMissingText;
        break;
    case SaveTarget::FolderReadOnly:
        text = kSaveTargetFolderReadOnlyText;
        break;
    case SaveTarget::FileReadOnly:
        text = kSaveTargetFileReadOnlyText;
        break;
    case SaveTarget::CannotReplace:
        return QString::fromUtf8(kCannotReplaceText) + QStringLiteral("（%1）").arg(path);
    }
    return QString::fromUtf8(text).arg(path);
}

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
