#pragma once
#include "../base/Low.h"
#include <core/base/Low.h>
