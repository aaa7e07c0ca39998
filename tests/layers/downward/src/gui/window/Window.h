#pragma once
#include <print/Painting.h>
#include "Beside.h"
#include "core/base/Low.h"
#include <QString>
