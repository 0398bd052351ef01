// The delivery thread of one live Grabber: paces frames, fills ring buffers and calls the listeners.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "grabber/grabber.h"
#include "sim/cameras/system.h"

namespace qvxsim {

class BufferRing;

// Bytes of one ring buffer of that sink colour format and size.
std::size_t ringBufferBytes(int colorformat, int width, int height);
// The ring for a session about to go live (mutex held): its sink's format, its camera's buffer count.
std::shared_ptr<BufferRing> firstRing(const Session& s);

class Delivery {
public:
    // `ring` holds the buffers of the first frames, allocated before live mode counts as started.
    Delivery(KapriLib::Grabber& grabber, std::shared_ptr<Session> session, std::shared_ptr<BufferRing> ring);
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;
    // Stops and joins; from the delivery thread itself (a listener destroying its grabber) it detaches.
    ~Delivery();

    // Asks the thread to leave; joins it unless called on the thread itself.
    void stop();
    // Lets a stopped thread finish on its own; the object must then be left alive (it is small).
    void detach();
    // The grabber this thread delivers for; fixed before the thread starts, so any thread may read it.
    KapriLib::Grabber& grabber() const { return grabber_; }
    // The Delivery whose thread is the calling thread, or null.
    static Delivery* current();

private:
    void run();
    void deliver();

    KapriLib::Grabber& grabber_;
    std::shared_ptr<Session> session_;
    std::shared_ptr<BufferRing> ring_;
    std::atomic<bool> stop_{false};
    std::mutex waitMutex_;
    std::condition_variable wake_;
    std::thread thread_;
};

} // namespace qvxsim
