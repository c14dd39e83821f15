#include "services/ServicesModule.h"

ModuleCount& ServicesModule() {
    static ModuleCount module;
    return module;
}
