#pragma once
// Qt's own Chinese translations, so that what Qt draws itself (the file
// dialog, the message-box buttons, the context menus of the browser and the
// text fields) speaks the same language as the rest of the window.

#include <QStringList>

class QCoreApplication;

// Where the translation catalogs are looked for, in order: Qt's own
// translations folder (the distribution's package on Linux), then a
// "translations" folder beside the program (a deployed Windows install).
QStringList QtTranslationFolders();

// Installs qtbase_zh_CN and qtwebengine_zh_CN on app, each from the first
// folder that holds it; when either is missing, the merged qt_zh_CN that a
// Windows deployment carries. Returns the catalogs installed; what is still
// missing is logged and leaves Qt's English texts in place.
QStringList InstallQtChineseTranslations(QCoreApplication& app);
