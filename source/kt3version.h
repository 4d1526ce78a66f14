// The module's version, as the class records and the bundle carry it.
#pragma once

#define KT3_VERSION_STRING "1.6.06.0811"
#define KT3_VERSION_NUMBERS "1.6.6.811"
// The same as four numbers, for the Windows version resource.
#define KT3_VERSION_FIELDS 1, 6, 6, 811
#define KT3_SDK_VERSION_STRING "VST 3.6.5"
