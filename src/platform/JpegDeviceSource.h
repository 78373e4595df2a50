// Kestrova — identity photo maker.
#pragma once

#include <QtGlobal>

#include <cstdio>

#include <jpeglib.h>

class QIODevice;

/// Feeds libjpeg from a device as it asks, so decoding starts on the first
/// bytes of a large file and a file is never held whole. A device that ends
/// or fails early reads as a truncated file: libjpeg fills in what is missing.
/// Plain data, because libjpeg may jump out of the steps that use it.
struct JpegDeviceSource
{
    jpeg_source_mgr manager; // first, so libjpeg's pointer to it is a pointer to this
    QIODevice* device = nullptr;
    qint64 bytesLeft = 0;
    JOCTET* buffer = nullptr;

    /// Makes this info's source, reading at most maxBytes from where device
    /// stands; the read buffer comes from info's own memory pool.
    void attach(jpeg_decompress_struct& info, QIODevice& from, qint64 maxBytes);
};
