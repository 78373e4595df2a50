// Kestrova — identity photo maker.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

/// libjpeg's error handling, written once for the decoder and the encoder.
/// libjpeg reports a fatal error by calling a function that must not return;
/// this one jumps back into run(), which then answers false. Warnings are
/// dropped: the result or the error code says all there is to say.
class JpegGuard
{
public:
    JpegGuard();
    JpegGuard(const JpegGuard&) = delete;
    JpegGuard& operator=(const JpegGuard&) = delete;

    /// The error manager for a (de)compressor's err field, set before it is created.
    [[nodiscard]] jpeg_error_mgr* errorManager() { return &m_errors.manager; }
    /// The code of the last message libjpeg raised.
    [[nodiscard]] int lastMessageCode() const { return m_errors.manager.msg_code; }

    /// Runs step(info, job); false when libjpeg raised a fatal error in it.
    /// The jump skips every destructor between here and the error, so step
    /// and job must hold only plain values. The caller destroys info either way.
    template <typename Info, typename Job>
    [[nodiscard]] bool run(Info& info, void (*step)(Info&, Job&), Job& job)
    {
        if (setjmp(m_errors.jump) != 0) {
            return false;
        }
        step(info, job);
        return true;
    }

private:
    struct Errors
    {
        jpeg_error_mgr manager; // first, so libjpeg's pointer to it is a pointer to this
        std::jmp_buf jump;
    };

    [[noreturn]] static void jumpBack(j_common_ptr info);

    Errors m_errors{};
};
