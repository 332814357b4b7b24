#include "platform/sockets.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace mt {

void own_port_alone(std::uintptr_t socket) {
  int yes = 1;
#ifdef _WIN32
  // Windows lets any process take over a port bound without this.
  setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
             sizeof yes);
#else
  // SO_REUSEADDR only skips the wait after an earlier server's connections;
  // unlike SO_REUSEPORT it never lets two servers listen on one port.
  setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
}

}  // namespace mt
