#include "CTempFileRegistry.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

enum ESlotState : int { kFree = 0, kFilling = 1, kReady = 2 };

// One more slot than the command line has jobs, plus the desktop program's
// one save at a time.
constexpr int kSlots = 1040;

struct CSlot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

CSlot g_slots[kSlots];

extern "C" void RemoveAndDie(int sig)
{
    CTempFileRegistry::RemoveAll();
    // Ending by the signal itself, not by a status of our own, lets a shell
    // running a loop see that the user interrupted it.
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

}  // namespace

int CTempFileRegistry::Add(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return kNoSlot;
    for (int slot = 0; slot < kSlots; ++slot) {
        int expected = kFree;
        if (!g_slots[slot].state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire))
            continue;
        std::memcpy(g_slots[slot].path, path.c_str(), path.size() + 1);
        g_slots[slot].state.store(kReady, std::memory_order_release);
        return slot;
    }
    return kNoSlot;
}

void CTempFileRegistry::Release(int slot)
{
    if (slot >= 0 && slot < kSlots)
        g_slots[slot].state.store(kFree, std::memory_order_release);
}

void CTempFileRegistry::RemoveAll()
{
    for (CSlot& slot : g_slots)
        if (slot.state.load(std::memory_order_acquire) == kReady)
            ::unlink(slot.path);
}

void CTempFileRegistry::RemoveOnSignals()
{
    static_assert(std::atomic<int>::is_always_lock_free);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (::sigaction(sig, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = RemoveAndDie;
        sigemptyset(&action.sa_mask);
        // The other two wait while one of them cleans up.
        sigaddset(&action.sa_mask, SIGINT);
        sigaddset(&action.sa_mask, SIGTERM);
        sigaddset(&action.sa_mask, SIGHUP);
        ::sigaction(sig, &action, nullptr);
    }
}
