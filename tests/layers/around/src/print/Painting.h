#pragma once
#include "../gui/window/Window.h"
