#pragma once
// Texts and the failure ending shared by the export writers.

#include <QString>

inline const char* const kExportFailedText = "文件保存出错！";
inline const char* const kOverwriteQuestionText = "该文件已存在，是否覆盖？";
inline const char* const kCannotReplaceText = "该文件无法覆盖，请确认该文件没被其他软件打开！";

// Tells the user the file could not be saved and closes the progress window.
void FailExport();
