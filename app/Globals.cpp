#include "app/Globals.h"

QApplication* application = nullptr;
char const* program = "vux";
