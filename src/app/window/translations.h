#pragma once
// Qt's own texts (dialog buttons, labels, context menus) in Brazilian Portuguese, whatever the system's
// language: the program speaks Portuguese throughout.

class QCoreApplication;

// Loads Qt's Brazilian Portuguese translations and makes pt_BR the default locale. False when the
// translation file is not installed (package qt6-translations-l10n); Qt's texts then stay in English.
bool InstallPortugueseTranslations(QCoreApplication& app);
