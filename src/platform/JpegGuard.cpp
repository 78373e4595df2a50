// Kestrova — identity photo maker.
#include "JpegGuard.h"

namespace {

void dropMessage(j_common_ptr) {}

} // namespace

JpegGuard::JpegGuard()
{
    jpeg_std_error(&m_errors.manager);
    m_errors.manager.error_exit = jumpBack;
    m_errors.manager.output_message = dropMessage;
}

void JpegGuard::jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<Errors*>(info->err)->jump, 1);
}
