#include "platform/signals.h"

#include <atomic>
#include <csignal>

#ifndef _WIN32
#include <signal.h>
#endif

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace mt {

namespace {

// A signal handler can reach nothing but a static; this flag is the one
// piece of process-wide state, and only the handler writes it.
std::atomic<bool> interrupt_seen{false};

#ifdef _WIN32
BOOL WINAPI on_console_event(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
    interrupt_seen = true;
    return TRUE;
  }
  return FALSE;
}
#else
extern "C" void on_signal(int) { interrupt_seen = true; }
#endif

}  // namespace

void catch_interrupts() {
#ifdef _WIN32
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

}  // namespace mt
