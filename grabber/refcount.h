// The reference-counted holders behind every smart_ptr handle shared with the grabber library.
#pragma once

#include <atomic>
#include <cstdint>

namespace KapriLib {

// Slot order shared with the grabber library: each module destroys the holders it created.
class refcount_ptr_base {
public:
    virtual ~refcount_ptr_base() = default; // slot 0
    virtual void inc_ref() = 0;             // slot 1
    virtual void dec_ref() = 0;             // slot 2: destroys the holder when the count reaches 0
    virtual void* get() const = 0;          // slot 3: the held object, null included

    refcount_ptr_base() = default;
    refcount_ptr_base(const refcount_ptr_base&) = delete;
    refcount_ptr_base& operator=(const refcount_ptr_base&) = delete;
};

// Owns one T (or nothing) and destroys it with the last reference.
template <class T> class refcount_ptr : public refcount_ptr_base {
public:
    explicit refcount_ptr(T* object = nullptr) : object_(object) {}
    ~refcount_ptr() override { delete object_; }

    void inc_ref() override { count_.fetch_add(1, std::memory_order_relaxed); }
    void dec_ref() override {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    void* get() const override { return object_; }

    std::int32_t use_count() const { return count_.load(std::memory_order_acquire); }

private:
    std::atomic<std::int32_t> count_{1};
    T* object_;
};

// Holds nothing, ever: an empty handle to a library type whose destruction is the library's alone,
// so that the adaptor never names that type's destructor.
class refcount_ptr_none : public refcount_ptr_base {
public:
    void inc_ref() override { count_.fetch_add(1, std::memory_order_relaxed); }
    void dec_ref() override {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    void* get() const override { return nullptr; }

private:
    std::atomic<std::int32_t> count_{1};
};

// Shows an object owned by another holder under a base-class type, keeping that holder alive.
template <class Base, class Derived> class refcount_ptr_wrapper : public refcount_ptr_base {
public:
    explicit refcount_ptr_wrapper(refcount_ptr_base* inner) : inner_(inner) { inner_->inc_ref(); }
    ~refcount_ptr_wrapper() override { inner_->dec_ref(); }

    void inc_ref() override { count_.fetch_add(1, std::memory_order_relaxed); }
    void dec_ref() override {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    void* get() const override {
        Base* base = static_cast<Derived*>(inner_->get());
        return base;
    }

    std::int32_t use_count() const { return count_.load(std::memory_order_acquire); }

private:
    refcount_ptr_base* inner_;
    std::atomic<std::int32_t> count_{1};
};

} // namespace KapriLib
