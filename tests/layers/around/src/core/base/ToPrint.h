#pragma once
#include "print/Painting.h"
