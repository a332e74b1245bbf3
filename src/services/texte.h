// Small text tests the services share.
#pragma once

#include <string>

// Case-insensitive substring test, as the folder caches compare paths.
bool ContientSansCasse(const std::string& texte, const std::string& motif);
