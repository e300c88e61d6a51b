// The window fixture under the name the checking-pass tests know it by.
#pragma once

#include "tests/app/window_fixture.h"

using MainWindowTest = WindowTest;
