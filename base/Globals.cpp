#include "base/Globals.h"

QApplication* application = nullptr;
char const* program = "vux";
