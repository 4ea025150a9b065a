// The server configuration file.
#include "servercfg.h"

#include "gamefilenames.h"

#include <iterator>

namespace vorn {

std::string composeServerCfg(const ServerCfgInputs& in) {
    const char* const lineEnd = "\r\n";
    std::string text = "hostname \"" + in.hostName + "\"";
    for (std::size_t i = 0; i < std::size(kServerSettings); ++i) {
        text += lineEnd;
        text += std::string(kServerSettings[i].variable) + ' ' +
                (i < in.values.size() ? in.values[i] : std::string());
    }
    text += lineEnd;
    text += in.extra;
    return text;
}

std::string serverCfgFileName(bool dedicated) {
    return dedicated ? files::kServerCfg : files::kListenServerCfg;
}

} // namespace vorn
