// The vendor record and the class records every build of the module must give, in all three
// factory versions.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

// Checks `factory` with GoogleTest expectations.
void expectRecordsOfKT3 (Steinberg::IPluginFactory* factory);
