#pragma once
#include <core/session/High.h>
