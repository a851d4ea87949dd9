#include "CleanupOnSignal.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>
#include <sys/mount.h>
#include <unistd.h>

namespace vrx::lan::cleanup {

namespace {

enum SlotState : int { Free, Writing, Process, Namespace };

struct Slot {
    std::atomic<int> state{Free};
    pid_t pid = 0;
    char path[128] = {};
};

// Enough for a benchmark's LAN of hundreds of readers, several times over.
constexpr int SlotCount = 4096;
Slot slots[SlotCount];

constexpr int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGABRT};
struct sigaction previousActions[std::size(HandledSignals)];

int Claim() {
    for (int i = 0; i < SlotCount; ++i) {
        int expected = Free;
        if (slots[i].state.compare_exchange_strong(expected, Writing))
            return i;
    }
    return -1;
}

void OnSignal(int signal) {
    static std::atomic_flag running = ATOMIC_FLAG_INIT;
    if (!running.test_and_set())
        RemoveEverythingRecorded();
    for (size_t i = 0; i < std::size(HandledSignals); ++i) {
        if (HandledSignals[i] == signal)
            ::sigaction(signal, &previousActions[i], nullptr);
    }
    // Delivered again once this handler returns, now to the previous handler.
    ::raise(signal);
}

} // namespace

void InstallSignalHandlers() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < std::size(HandledSignals); ++i) {
            // An ignored signal stays ignored (a job started in the background ignores SIGINT).
            if (::sigaction(HandledSignals[i], nullptr, &previousActions[i]) == 0 &&
                previousActions[i].sa_handler != SIG_IGN)
                ::sigaction(HandledSignals[i], &action, nullptr);
        }
    });
}

int RecordProcess(pid_t pid) {
    const int slot = Claim();
    if (slot >= 0) {
        slots[slot].pid = pid;
        slots[slot].state.store(Process);
    }
    return slot;
}

int RecordNamespace(const char *path) {
    const int slot = Claim();
    if (slot >= 0) {
        std::strncpy(slots[slot].path, path, sizeof slots[slot].path - 1);
        slots[slot].state.store(Namespace);
    }
    return slot;
}

void Forget(int slot) {
    if (slot >= 0 && slot < SlotCount)
        slots[slot].state.store(Free);
}

// Only system calls: this runs inside signal handlers. Processes go first, so that nothing is left
// running in a namespace once its name is gone.
void RemoveEverythingRecorded() {
    for (Slot &slot : slots) {
        if (slot.state.load() == Process)
            ::kill(slot.pid, SIGKILL);
    }
    for (Slot &slot : slots) {
        if (slot.state.load() == Namespace) {
            ::umount2(slot.path, MNT_DETACH);
            ::unlink(slot.path);
        }
    }
}

} // namespace vrx::lan::cleanup
