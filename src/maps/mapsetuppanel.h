#pragma once

#include "vorn.h"

#include <QObject>

namespace vorn {

class MapSetupPanel : public QObject {
    Q_OBJECT

  public:
    explicit MapSetupPanel(Vorn& window);

  private:
    Vorn& w;
};

}  // namespace vorn
