// The server configuration file.
#pragma once

#include <string>

namespace vorn {

struct ServerCfgInputs {
    std::string hostName;
    std::string teamLimit;
    std::string mapTime;
    std::string extra; // the extra variables, line ends as CR LF
    bool friendlyFire = true;
    bool footSteps = true;
    bool flashlight = true;
    bool deathMsgs = true;
    bool fallDamage = true;
    bool lan = false;
};

// The nine fixed lines and the extra text, joined by CR LF; no CR LF after
// the extra text.
std::string composeServerCfg(const ServerCfgInputs& in);

// "vorn_server.cfg" for a dedicated server, "vorn_lserver.cfg" otherwise.
std::string serverCfgFileName(bool dedicated);

} // namespace vorn
