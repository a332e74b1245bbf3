# The product's identity, in one place: the .exe's version resource, the MSI,
# the .deb and the desktop entry all take it from here. The version is the
# project's (project() in the top CMakeLists.txt).
set(IL3_EDITEUR "Kelvaro")
set(IL3_PRODUIT "IL3_Setup")
set(IL3_TITRE "Installation d'Ilvane")
set(IL3_COPYRIGHT "Copyright © 2026 Kelvaro")
set(IL3_CONTACT "Kelvaro <ilvane@kelvaro.example>")
# Windows Installer finds the earlier versions to replace by this code: it
# never changes, or a new MSI would install beside the old one.
set(IL3_MSI_UPGRADE_CODE "0C6A835A-8694-4AAC-9467-34A7ECFB2B3E")
