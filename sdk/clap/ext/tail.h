// The plug-in's tail extension, which the packaged CLAP 1.1 headers lack: the length of the
// sound a plug-in goes on producing after its input falls silent. Declared under the format's
// own names so that the code reads as it would with the full header set.
#pragma once

#include "clap/plugin.h"

static CLAP_CONSTEXPR const char CLAP_EXT_TAIL[] = "clap.tail";

#ifdef __cplusplus
extern "C" {
#endif

typedef struct clap_plugin_tail {
   // The tail in samples; INT32_MAX for one that never ends. [main-thread, audio-thread]
   uint32_t(CLAP_ABI *get)(const clap_plugin_t *plugin);
} clap_plugin_tail_t;

typedef struct clap_host_tail {
   // The plug-in's tail changed. [audio-thread]
   void(CLAP_ABI *changed)(const clap_host_t *host);
} clap_host_tail_t;

#ifdef __cplusplus
}
#endif
