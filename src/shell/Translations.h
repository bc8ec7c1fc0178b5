#pragma once

#include <QLocale>
#include <QStringList>

class QCoreApplication;

// The program's texts in the user's language: our own catalogue (compiled in) and Qt's for its standard
// dialogs and buttons (from Qt's translations folder, when installed), for the first of the locale's
// languages that has one. English needs none: it is the language the texts are written in.
class Translations
{
public:
    // Loads and installs the catalogues for locale (by default the system's, which follows LANGUAGE,
    // LC_ALL, LC_MESSAGES and LANG) into app, which owns them. The names of the catalogues installed,
    // e.g. {"quillmark_de", "qtbase_de"}.
    static QStringList install(QCoreApplication &app, const QLocale &locale = QLocale::system());

    // The name of our catalogue for the first of locale's languages that has one ("quillmark_de"); empty
    // when none has.
    static QString catalogueFor(const QLocale &locale);

    // Where our catalogues are compiled in.
    static QString folder() { return QStringLiteral(":/i18n"); }
};
