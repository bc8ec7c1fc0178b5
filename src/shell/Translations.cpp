#include "shell/Translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Loads the catalogue prefix_<language> from folder for the first of the locale's languages that has
// one and installs it; its file's name without the extension, or empty when there is none.
QString installOne(QCoreApplication &app, const QLocale &locale, const QString &prefix, const QString &folder)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(locale, prefix, QStringLiteral("_"), folder) || translator->isEmpty()) {
        delete translator;
        return QString();
    }
    QCoreApplication::installTranslator(translator);
    return QFileInfo(translator->filePath()).completeBaseName();
}

} // namespace

QString Translations::catalogueFor(const QLocale &locale)
{
    QTranslator translator;
    if (!translator.load(locale, QStringLiteral("quillmark"), QStringLiteral("_"), folder()))
        return QString();
    return QFileInfo(translator.filePath()).completeBaseName();
}

QStringList Translations::install(QCoreApplication &app, const QLocale &locale)
{
    QStringList installed;
    const QString own = installOne(app, locale, QStringLiteral("quillmark"), folder());
    if (own.isEmpty())
        return installed; // Qt's texts alone would mix two languages in one window
    installed << own;
    const QString qt
        = installOne(app, locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!qt.isEmpty())
        installed << qt;
    return installed;
}
