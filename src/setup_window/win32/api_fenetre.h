// The Windows headers as the window's files use them.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>

// windows.h names MessageBox as a macro, and the view contract has a method of
// that name: the W call is named outright instead.
#undef MessageBox
