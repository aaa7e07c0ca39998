#pragma once
#include "../session/High.h"
