#include "platform/signals.h"

#include <atomic>
#include <csignal>

#ifndef _WIN32
#include <signal.h>
#include <unistd.h>
#endif

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/args.h"
#endif

namespace mt {

namespace {

// A signal handler can reach nothing but statics; these are the only pieces
// of process-wide state, and they are what the handlers read or write.
std::atomic<bool> interrupt_seen{false};

// The temporary files being written. Slots are never freed, so a handler
// walking the list never meets freed memory; a free slot (null) is reused.
// There are as many as files were ever open at once: one or two.
struct TempSlot {
  std::atomic<const std::string*> path{nullptr};
  TempSlot* next = nullptr;
};
std::atomic<TempSlot*> temp_slots{nullptr};

#ifdef _WIN32
BOOL WINAPI on_console_event(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
    interrupt_seen = true;
    return TRUE;
  }
  return FALSE;
}

// Runs on a thread of its own. The files are open for writing with delete
// sharing, so they go when the process ends; then the default handler ends
// the process.
BOOL WINAPI on_console_exit(DWORD) {
  for (TempSlot* slot = temp_slots.load(); slot; slot = slot->next) {
    if (const std::string* path = slot->path.load()) DeleteFileW(to_wide(*path).c_str());
  }
  return FALSE;
}
#else
extern "C" void on_signal(int) { interrupt_seen = true; }

// Only async-signal-safe calls: unlink, then the signal again, which the
// reset disposition turns into the end it would have been.
extern "C" void on_fatal_signal(int signal) {
  for (TempSlot* slot = temp_slots.load(); slot; slot = slot->next) {
    if (const std::string* path = slot->path.load()) ::unlink(path->c_str());
  }
  ::raise(signal);
}
#endif

}  // namespace

void catch_interrupts() {
#ifdef _WIN32
  SetConsoleCtrlHandler(on_console_exit, FALSE);
  SetConsoleCtrlHandler(on_console_event, TRUE);
#else
  struct sigaction action = {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A browser that closes a page mid-response must not end the server.
  action.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &action, nullptr);
#endif
}

bool interrupted() { return interrupt_seen; }

void remove_temp_files_on_interrupt() {
#ifdef _WIN32
  SetConsoleCtrlHandler(on_console_exit, TRUE);
#else
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    struct sigaction old = {};
    if (sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction action = {};
    action.sa_handler = on_fatal_signal;
    action.sa_flags = SA_RESETHAND;
    sigfillset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
#endif
}

void note_temp_file(const std::string* path) {
  for (TempSlot* slot = temp_slots.load(); slot; slot = slot->next) {
    const std::string* none = nullptr;
    if (slot->path.compare_exchange_strong(none, path)) return;
  }
  auto* slot = new TempSlot;
  slot->path = path;
  slot->next = temp_slots.load();
  while (!temp_slots.compare_exchange_weak(slot->next, slot)) {
  }
}

void forget_temp_file(const std::string* path) {
  for (TempSlot* slot = temp_slots.load(); slot; slot = slot->next) {
    const std::string* noted = path;
    if (slot->path.compare_exchange_strong(noted, nullptr)) return;
  }
}

}  // namespace mt
