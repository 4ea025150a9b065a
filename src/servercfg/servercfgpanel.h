#pragma once

#include "vorn.h"

#include <QObject>

namespace vorn {

class ServerCfgPanel : public QObject {
    Q_OBJECT

  public:
    explicit ServerCfgPanel(Vorn& window);

  private:
    Vorn& w;
};

}  // namespace vorn
