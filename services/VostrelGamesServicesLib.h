#pragma once

// The type library of the services module, for hosts: include this header and create the
// classes by ProgID or class id through the COM-like runtime. It holds the library's id, the
// error numbers, the six dual interfaces with their ids and the six classes' ids.

#include "platform/com/Guid.h"
#include "services/ContentInterfaces.h"
#include "services/ErrorConstants.h"
#include "services/HighScoreInterfaces.h"

constexpr Guid kLibidVostrelGamesServicesLib =
    GuidLiteral("{B36476E0-D780-4A5E-89F1-46826D9CB97A}");
constexpr const char* kVostrelGamesServicesLibHelp = "Vostrel High Services Library";
// The library's version as its registration states it.
constexpr const char* kVostrelGamesServicesLibVersion = "1.0";
