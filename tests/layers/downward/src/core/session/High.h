#pragma once
#include "core/base/Low.h"
#include "core/session/Other.h"
