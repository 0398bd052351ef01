// ThreadSanitizer suppressions for the GenICam tests: Aravis and GLib synchronise in code TSan cannot see.
//
// GLib's mutexes, conditions and asynchronous queues are futex calls of an uninstrumented library, so
// every hand-over between Aravis's stream threads and its callers looks unsynchronised to TSan: a buffer
// Aravis allocated on one thread and fills on another, a buffer it fills and hands on through its queue.
// Only reports with a frame inside those two libraries are suppressed; races in our own code, which
// synchronises with the standard library's primitives, are still reported.
extern "C" const char* __tsan_default_suppressions();

extern "C" const char* __tsan_default_suppressions() {
    return "race:libaravis-0.8.so.0\n"
           "race:libglib-2.0.so.0\n"
           "race:libgobject-2.0.so.0\n"
           "race:libgio-2.0.so.0\n";
}
