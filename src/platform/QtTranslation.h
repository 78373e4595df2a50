// Kestrova — identity photo maker.
#pragma once

class QCoreApplication;

/// Loads Qt's own Simplified Chinese texts (file dialog, message box buttons,
/// text box menus) into the application, whatever the system's locale, so
/// the windows Qt draws for us speak the same language as ours. Returns
/// whether the translation was found; without it Qt's English shows.
bool installQtTranslation(QCoreApplication& app);
