// The server configuration file.
#include "servercfg.h"

namespace vorn {

namespace {

const char* const kLineEnd = "\r\n";

std::string onOff(const char* name, bool on) {
    return std::string(name) + (on ? " 1" : " 0");
}

} // namespace

std::string composeServerCfg(const ServerCfgInputs& in) {
    std::string text = "hostname \"" + in.hostName + "\"";
    for (const std::string& line : {
             onOff("mp_friendlyfire", in.friendlyFire),
             onOff("mp_footsteps", in.footSteps),
             onOff("mp_flashlight", in.flashlight),
             onOff("mp_deathmsg", in.deathMsgs),
             onOff("mp_falldamage", in.fallDamage),
             onOff("sv_lan", in.lan),
             "mp_teamlimit " + in.teamLimit,
             "mp_timelimit " + in.mapTime,
             in.extra,
         }) {
        text += kLineEnd;
        text += line;
    }
    return text;
}

std::string serverCfgFileName(bool dedicated) {
    return dedicated ? "vorn_server.cfg" : "vorn_lserver.cfg";
}

} // namespace vorn
