#pragma once

#include "vorn.h"

#include <QObject>

namespace vorn {

class CommandLinePanel : public QObject {
    Q_OBJECT

  public:
    explicit CommandLinePanel(Vorn& window);

  private:
    Vorn& w;
};

}  // namespace vorn
