// Stand-in until the mixer lands: the source table stays empty.
#include "sound/mix.h"

void mix_SourcesInit(int32_t, int32_t, MixAttenuationFn, MixDirectionFn, MixStartFn) {}
int32_t mix_SourceUpdate(const MixSourceDesc*) { return 0; }
int32_t mix_SourceRemove(int32_t) { return 0; }
