// Qt's own words in French: the standard dialogs, the text boxes' context
// menus and the message-box buttons, from the system's Qt translations.
#pragma once

class QCoreApplication;

namespace fenetre::qt {

// Installs Qt's French catalogue on `application` and makes French the default
// locale. False when the catalogue is not installed: Qt's words stay English,
// the program's own stay French.
bool InstallerTraductionsFrancaises(QCoreApplication* application);

}  // namespace fenetre::qt
