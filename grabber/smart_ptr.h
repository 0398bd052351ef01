// smart_ptr: a handle that is one pointer to a reference-counted holder; never null.
#pragma once

#include "grabber/refcount.h"

namespace KapriLib {

template <class T> class smart_ptr {
public:
    // A handle to nothing: a new holder of a null pointer, count 1.
    smart_ptr() : holder_(new refcount_ptr<T>(nullptr)) {}
    // Takes over one reference that the caller owns on `holder`.
    explicit smart_ptr(refcount_ptr_base* holder) : holder_(holder) {}
    smart_ptr(const smart_ptr& other) : holder_(other.holder_) { holder_->inc_ref(); }
    smart_ptr& operator=(const smart_ptr& other) {
        other.holder_->inc_ref();
        holder_->dec_ref();
        holder_ = other.holder_;
        return *this;
    }
    ~smart_ptr() { holder_->dec_ref(); }

    T* get() const { return static_cast<T*>(holder_->get()); }
    T* operator->() const { return get(); }
    T& operator*() const { return *get(); }

    refcount_ptr_base* holder() const { return holder_; }

private:
    refcount_ptr_base* holder_;
};

} // namespace KapriLib
