// The private bytes of this process, now and at their peak while a piece
// of work runs.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <atomic>

#include "platform/win32/Handle.h"

namespace quorvane::bench {

// Private bytes are PagefileUsage: Windows counts the commit charge there
// as in PrivateUsage, and Wine fills in only the former.
inline PROCESS_MEMORY_COUNTERS_EX Counters() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters;
}

// Samples the private bytes every millisecond on a thread of its own until
// stopped, keeping the largest. A plain Win32 thread: the program's
// runtime has no std::thread.
class PeakSampler {
public:
    PeakSampler() : thread_(CreateThread(nullptr, 0, &PeakSampler::Run, this, 0, nullptr)) {}
    ~PeakSampler() { Stop(); }
    PeakSampler(const PeakSampler&) = delete;
    PeakSampler& operator=(const PeakSampler&) = delete;

    void Stop() {
        done_ = true;
        thread_.reset();
    }

    std::atomic<size_t> peak{0};

private:
    struct ThreadTraits {
        using Type = HANDLE;
        static Type Invalid() { return nullptr; }
        static void Close(Type h) {
            WaitForSingleObject(h, INFINITE);
            CloseHandle(h);
        }
    };

    static DWORD WINAPI Run(void* self) {
        auto& sampler = *static_cast<PeakSampler*>(self);
        while (!sampler.done_) {
            const size_t now = Counters().PagefileUsage;
            if (now > sampler.peak) sampler.peak = now;
            Sleep(1);
        }
        return 0;
    }

    std::atomic<bool> done_{false};
    win::UniqueHandle<ThreadTraits> thread_;
};

}  // namespace quorvane::bench
