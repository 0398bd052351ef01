// The library's lock and unlock of a frame buffer: counted, then handed to the buffer itself.
#include "grabber/mem_buffer.h"

#include "sim/cameras/sim_api.h"
#include "sim/cameras/system.h"

namespace KapriLib {

void MemBuffer::lock() {
    qvxsim::System::instance().counters.lockCalls.fetch_add(1);
    if (auto* buffer = dynamic_cast<qvxsim::BufferBase*>(this)) buffer->lockBuffer();
}

void MemBuffer::unlock() {
    if (auto* buffer = dynamic_cast<qvxsim::BufferBase*>(this)) buffer->unlockBuffer();
}

} // namespace KapriLib

namespace qvxsim {

BufferBase::~BufferBase() = default;

} // namespace qvxsim
