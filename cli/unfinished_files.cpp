// Unfinished files and the end by signal: atomics only, so that a blocked writer cannot hold the end up.
#include "cli/unfinished_files.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace qvxcli {
namespace {

// A frame and the contact sheet at most are written at once.
constexpr int kSlots = 8;
std::atomic<const UnfinishedFile*> unfinished[kSlots];
std::atomic<bool> ending{false};
std::atomic<int> changesUnderWay{0};

[[noreturn]] void holdUntilTheEnd() {
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

// Appends `text` to `out` (of room `size`); for messages built without stdio.
std::size_t append(char* out, std::size_t used, std::size_t size, const char* text) {
    while (*text != '\0' && used + 1 < size) out[used++] = *text++;
    out[used] = '\0';
    return used;
}

[[noreturn]] void endBySignal(int signal) {
    // seq_cst on both sides: either a change sees `ending` and stops before it starts, or this sees the
    // change under way and waits for it to finish.
    ending.store(true);
    for (int i = 0; i < 300 && changesUnderWay.load() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (auto& slot : unfinished) {
        if (const UnfinishedFile* file = slot.load()) removeName(file->folder, file->name);
    }
    char message[160];
    std::size_t used = append(message, 0, sizeof message, "\nqvx-imaq: stopped by ");
    if (const char* name = signalName(signal)) {
        used = append(message, used, sizeof message, name);
    } else {
        char digits[12];
        int at = 11;
        digits[at] = '\0';
        int value = signal;
        do {
            digits[--at] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value > 0 && at > 0);
        used = append(message, used, sizeof message, "signal ");
        used = append(message, used, sizeof message, digits + at);
    }
    used = append(message, used, sizeof message, "; files not yet complete were removed\n");
    writeErrorWithoutWaiting(message, used);
    std::_Exit(128 + signal);
}

} // namespace

FileChange::FileChange() {
    changesUnderWay.fetch_add(1);
    if (ending.load()) {
        changesUnderWay.fetch_sub(1);
        holdUntilTheEnd();
    }
}

FileChange::~FileChange() { changesUnderWay.fetch_sub(1); }

int rememberUnfinished(const UnfinishedFile* file) {
    for (int i = 0; i < kSlots; ++i) {
        const UnfinishedFile* empty = nullptr;
        if (unfinished[i].compare_exchange_strong(empty, file)) return i;
    }
    throw std::runtime_error("too many files open for writing at once");
}

void forgetUnfinished(int slot) {
    if (slot >= 0 && slot < kSlots) unfinished[slot].store(nullptr);
}

void removeUnfinishedFilesOnSignals() { onEndingSignals(endBySignal); }

} // namespace qvxcli
