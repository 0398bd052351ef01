// smart_com: owns one reference on a COM-style interface and releases it.
#pragma once

#include <utility>

namespace KapriLib {

template <class T> class smart_com {
public:
    smart_com() = default;
    // Takes over one reference the caller owns.
    explicit smart_com(T* object) : object_(object) {}
    smart_com(const smart_com& other) : object_(other.object_) {
        if (object_ != nullptr) object_->AddRef();
    }
    smart_com(smart_com&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    smart_com& operator=(smart_com other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~smart_com() { reset(); }

    void reset() {
        if (object_ != nullptr) std::exchange(object_, nullptr)->Release();
    }
    // Gives up ownership without releasing.
    T* detach() { return std::exchange(object_, nullptr); }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

} // namespace KapriLib
