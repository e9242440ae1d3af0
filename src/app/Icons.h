// The program's own toolbar and button icons, drawn at run time.
#pragma once

#include <QIcon>

namespace ks340 {

QIcon writeToRadioIcon();
QIcon readFromRadioIcon();
QIcon printIcon();
QIcon aboutIcon();
QIcon applicationIcon();

}  // namespace ks340
