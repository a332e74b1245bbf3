// Resource names shared by the resource script and the window.
#pragma once

// The window's icon (RT_GROUP_ICON); also the program's icon in the shell,
// being its first group.
#define IL3_ICONE_FENETRE 1
