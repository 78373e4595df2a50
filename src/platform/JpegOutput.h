// Kestrova — identity photo maker.
#pragma once

#include <QtGlobal>

#include <cstdio>

#include <jpeglib.h>

/// How libjpeg writes the program's pictures: straight into QImage's
/// Format_RGB32, with the accurate integer transform, so every pass over a
/// file gives the same pixels.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
inline constexpr J_COLOR_SPACE kRgb32Space = JCS_EXT_BGRX;
#else
inline constexpr J_COLOR_SPACE kRgb32Space = JCS_EXT_XRGB;
#endif
inline constexpr J_DCT_METHOD kDctMethod = JDCT_ISLOW;
inline constexpr int kBytesPerPixel = 4;
/// Rows decoded per step, into a strip when they have to be moved into place
/// afterwards. Turned a quarter, each stored row becomes a column, so every
/// strip writes a run of this many pixels into each row of the picture: with
/// 16 rows a 100 MP photo stored on its side took 1.34 s to decode, with 128
/// rows 0.68 s; djpeg, which does not turn it, 0.49 s.
inline constexpr int kStripRows = 128;
