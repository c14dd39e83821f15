#pragma once

#include "engine/Application.h"

#include <string>

// Reads "version.txt" (required) into the version texts of the record.
void ReadVersionFile(Application& app, const std::string& fileName);

// Reads "../config.txt" (required) into the record, DevMode and LogEnabled; "priority" sets
// the priority class when it names one ("normal" or "idle") and leaves it otherwise.
void ReadConfigFile(Application& app, const std::string& fileName, PriorityClass& priority);
