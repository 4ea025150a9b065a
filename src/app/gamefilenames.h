// The names of the files Vornwick writes for the game server, in the mod's
// directory. The server's command line names them too.
#pragma once

namespace vorn::files {

inline constexpr char kServerCfg[] = "vorn_server.cfg";        // a dedicated server's
inline constexpr char kListenServerCfg[] = "vorn_lserver.cfg"; // a listen server's
inline constexpr char kMapCycle[] = "vorn_mapcycle.txt";
inline constexpr char kMotd[] = "vorn_motd.txt";

} // namespace vorn::files
