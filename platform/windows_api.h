// <windows.h> as the program uses it: without the min/max macros and the rarely used
// parts. Included only by the sources that call Windows itself, and only on Windows.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
