// dvector: the grabber library's plain list, read-only for the adaptor.
#pragma once

#include <cstdint>

namespace KapriLib {

template <class T> struct dvector {
    T* first;
    std::uint64_t count;

    const T* begin() const { return first; }
    const T* end() const { return first + count; }
    std::uint64_t size() const { return count; }
};

} // namespace KapriLib
