#pragma once

namespace platform::gtk {

// In the environment of the program the supervisor starts: the supervisor's process id, believed
// only from the parent it names.
inline constexpr char supervisorMarkVariable[] = "ORVIA_SUPERVISOR_PID";

} // namespace platform::gtk
