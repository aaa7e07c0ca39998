#pragma once
// What the user is told when a file cannot be written where they asked:
// the export's sheet and the printed documents alike.

#include "core/base/FileReplace.h"

#include <QString>

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
