#include "platform/process_setup.h"

#include "platform/win32/standard_handle.h"

namespace platform {

ClosedStandardStreams prepareProcess() {
    ClosedStandardStreams closed;
    closed.input = leadsNowhere(STD_INPUT_HANDLE);
    closed.output = leadsNowhere(STD_OUTPUT_HANDLE);
    closed.error = leadsNowhere(STD_ERROR_HANDLE);
    return closed;
}

} // namespace platform
