#include "app/shell/SharedPrinter.h"

#include <QPrinter>

namespace tarnwick {

QPrinter& SharedPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

}  // namespace tarnwick
