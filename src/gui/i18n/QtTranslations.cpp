#include "QtTranslations.h"

#include "core/base/Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// One catalog per Qt module, as the distribution installs them.
const char* const kModuleCatalogs[] = { "qtbase_zh_CN", "qtwebengine_zh_CN" };
// windeployqt merges the deployed modules' catalogs into this one.
const char* const kDeployedCatalog = "qt_zh_CN";

bool InstallCatalog(QCoreApplication& app, const QString& name, const QStringList& folders)
{
    // Owned by the application: the texts are needed for the whole run.
    auto* translator = new QTranslator(&app);
    for (const QString& folder : folders) {
        if (translator->load(name, folder) && QCoreApplication::installTranslator(translator))
            return true;
    }
    delete translator;
    return false;
}

} // namespace

QStringList QtTranslationFolders()
{
    return { QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")) };
}

QStringList InstallQtChineseTranslations(QCoreApplication& app)
{
    const QStringList folders = QtTranslationFolders();
    QStringList installed;
    QStringList missing;
    for (const char* catalog : kModuleCatalogs) {
        const QString name = QString::fromLatin1(catalog);
        (InstallCatalog(app, name, folders) ? installed : missing).append(name);
    }
    if (missing.isEmpty())
        return installed;
    if (InstallCatalog(app, QString::fromLatin1(kDeployedCatalog), folders)) {
        installed.append(QString::fromLatin1(kDeployedCatalog));
        return installed;
    }
    qCWarning(lcSettings) << "Qt translations" << missing << "not found in" << folders
                          << "- Qt's own texts stay in English";
    return installed;
}
