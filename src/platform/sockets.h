#pragma once
// Socket settings the preview server needs beyond its HTTP library's.

#include <cstdint>

namespace mt {

/// Makes a listening socket own its port alone: a second server on the same
/// port is refused (so "port in use" can be told), while a restart right
/// after a stop still finds the port free. `socket` is the system's handle.
void own_port_alone(std::uintptr_t socket);

}  // namespace mt
