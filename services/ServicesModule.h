#pragma once

#include "platform/com/ComObject.h"

// The live objects, server locks and running worker threads of the client-services module:
// while any is left the module must stay loaded.
ModuleCount& ServicesModule();
