// The value buffer the host hands a custom getter or post-set listener: exactly as big as the type.
#pragma once

#include <cstddef>
#include <string>

#include "sim/toolbox/property_values.h"

namespace qvxtb::detail {

// Its own heap block: the value's bytes (4 for integer and enumerated properties, 8 for doubles),
// then guard bytes. Under AddressSanitizer the guard bytes are poisoned, so a write past the value
// stops at the faulting instruction; elsewhere the guard bytes are checked after the call and a
// changed one is recorded as a contract violation.
// A getter's double starts as guard bytes instead of the stored value: a 4-byte integer written into it
// changes only its first half, which is recorded as a violation too; a getter that writes nothing leaves
// the stored value.
class ListenerValue {
public:
    enum class Use { PostSet, Getter };
    ListenerValue(PropType type, const ValueBuffer& initial, Use use = Use::PostSet);
    ~ListenerValue();
    ListenerValue(const ListenerValue&) = delete;
    ListenerValue& operator=(const ListenerValue&) = delete;

    void* data() { return block_; }
    // The value after the call; records a violation naming `property` when a guard byte changed.
    ValueBuffer finish(const std::string& property);

    static std::size_t sizeOf(PropType type);

private:
    std::size_t size_;
    unsigned char* block_;
    bool marked_;
    ValueBuffer initial_;
};

} // namespace qvxtb::detail
