// Kestrova — identity photo maker.
#pragma once

#include <QByteArray>

class QIODevice;

/// The ICC colour profile embedded in a BMP with a version 5 header; empty
/// when it has none, or when the header's place and size for it do not lie
/// within the file. A profile the header only links to, by a file name on the
/// machine the picture was made on, is not read: a picture never makes the
/// program open other files.
[[nodiscard]] QByteArray embeddedBmpProfile(QIODevice& file);
