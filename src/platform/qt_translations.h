#pragma once

class QCoreApplication;

// Qt's own texts (file dialog labels, message box buttons, the colour chooser) in Japanese, as
// the rest of the board speaks, whatever the user's locale. Loads Qt's "qtbase_ja" catalogue
// from Qt's translations folder and installs it on `app`; false when it is not installed
// (Debian package qt6-translations-l10n), in which case Qt stays in English.
bool installJapaneseQtTranslations(QCoreApplication& app);
