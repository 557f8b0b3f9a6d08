// Resource identifiers of the GUI-frame Windows tests (shared by the resource script).
#pragma once

#define IDR_RGBA_2X1 100
#define IDR_RGB_3X2 101
#define IDR_PALETTE_2X1 102
#define IDR_RGBA_16 103
#define IDR_RED_8X8 104
#define IDR_TRUNCATED 105
#define IDR_CORRUPT 106
#define IDR_DATA_RGB 200
#define IDR_MISSING 999
