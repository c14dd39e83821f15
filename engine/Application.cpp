#include "engine/Application.h"

Application App;
bool DevMode = false;

std::string Application::GetDataDir() const {
    if (localDataDir) {
        return "config\\";
    }
    if (saveFolder.empty() || saveFolder.back() == '/' || saveFolder.back() == '\\') {
        return saveFolder;
    }
    return saveFolder + "/";
}
