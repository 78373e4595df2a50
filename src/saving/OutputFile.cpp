// Kestrova — identity photo maker.
#include "OutputFile.h"

bool writeWhole(OutputFile& file, QByteArrayView bytes)
{
    if (!file.open()) {
        return false;
    }
    while (!bytes.isEmpty()) {
        const qint64 written = file.write(bytes);
        // A write that makes no progress would otherwise repeat for ever.
        if (written <= 0 || written > bytes.size()) {
            return false;
        }
        bytes = bytes.sliced(written);
    }
    // A full disk may only show when the data has to reach it, so a save is
    // done only once it has.
    return file.flush() && file.commit();
}
