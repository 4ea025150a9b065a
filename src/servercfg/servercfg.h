// The server configuration file.
#pragma once

#include <string>
#include <vector>

namespace vorn {

// One line of the file after the host name: a game variable and the name of
// the control that sets it, a check box (1 or 0) or a text box (its text as
// typed). The file's lines follow this table's order.
struct ServerSetting {
    const char* variable;
    const char* control;
};
inline constexpr ServerSetting kServerSettings[] = {
    {"mp_friendlyfire", "chkFriendlyFire"}, {"mp_footsteps", "chkFootSteps"},
    {"mp_flashlight", "chkFlashlight"},     {"mp_deathmsg", "chkDeathMsgs"},
    {"mp_falldamage", "chkFallDamage"},     {"sv_lan", "chkLAN"},
    {"mp_teamlimit", "txtTeamLimit"},       {"mp_timelimit", "txtMapTime"},
};

struct ServerCfgInputs {
    std::string hostName;
    // The settings' values, in the table's order.
    std::vector<std::string> values;
    std::string extra; // the extra variables, line ends as CR LF
};

// The host name line, a line for each setting and the extra text, joined
// by CR LF; no CR LF after the extra text. A setting without a value gets
// an empty one.
std::string composeServerCfg(const ServerCfgInputs& in);

// "vorn_server.cfg" for a dedicated server, "vorn_lserver.cfg" otherwise.
std::string serverCfgFileName(bool dedicated);

} // namespace vorn
