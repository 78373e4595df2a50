// Kestrova — identity photo maker.
#pragma once

#include <QImage>

/// Asks the system to back the image's pixels with huge pages. A large
/// picture written once, front to back, then costs a few hundred page faults
/// instead of tens of thousands. Does nothing where the system has no such
/// advice, or for an image too small to hold a whole huge page.
void preferHugePages(QImage& image);
