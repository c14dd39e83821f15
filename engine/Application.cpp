#include "engine/Application.h"

Application App;
bool DevMode = false;
