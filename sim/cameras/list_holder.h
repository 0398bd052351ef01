// The library-side holder behind every list handle: it owns the element storage and counts itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "grabber/dvector.h"
#include "grabber/refcount.h"
#include "grabber/smart_ptr.h"
#include "sim/cameras/system.h"

namespace qvxsim {

template <class T> class ListHolder final : public KapriLib::refcount_ptr_base {
public:
    // No storage: the holder of a missing list.
    ListHolder() : present_(false) { System::instance().counters.liveListHolders.fetch_add(1); }
    explicit ListHolder(std::vector<T> elements) : present_(true), storage_(std::move(elements)) {
        view_.first = storage_.data();
        view_.count = storage_.size();
        System::instance().counters.liveListHolders.fetch_add(1);
    }
    ~ListHolder() override { System::instance().counters.liveListHolders.fetch_sub(1); }

    void inc_ref() override { count_.fetch_add(1, std::memory_order_relaxed); }
    void dec_ref() override {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    void* get() const override { return present_ ? const_cast<KapriLib::dvector<T>*>(&view_) : nullptr; }

private:
    std::atomic<std::int32_t> count_{1};
    bool present_;
    std::vector<T> storage_;
    KapriLib::dvector<T> view_{nullptr, 0};
};

template <class T> KapriLib::smart_ptr<KapriLib::dvector<T>> makeList(std::vector<T> elements) {
    return KapriLib::smart_ptr<KapriLib::dvector<T>>(new ListHolder<T>(std::move(elements)));
}

template <class T> KapriLib::smart_ptr<KapriLib::dvector<T>> missingList() {
    return KapriLib::smart_ptr<KapriLib::dvector<T>>(new ListHolder<T>());
}

template <class T> KapriLib::smart_ptr<KapriLib::dvector<T>> makeList(const OptList<T>& list) {
    return list.present ? makeList(list.values) : missingList<T>();
}

} // namespace qvxsim
