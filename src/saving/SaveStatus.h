// Kestrova — identity photo maker.
#pragma once

/// The status numbers a failed save reports, as the program has always numbered them.
enum SaveStatus : int
{
    kSaveOk = 0,
    kSaveGenericError = 1,
    kSaveInvalidParameter = 2,
    kSaveOutOfMemory = 3,
    kSaveWin32Error = 7,
};
