#include "mapsetuppanel.h"

namespace vorn {

MapSetupPanel::MapSetupPanel(Vorn& window) : QObject(&window), w(window) {}

}  // namespace vorn
