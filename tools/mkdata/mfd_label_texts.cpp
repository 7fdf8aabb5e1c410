// The MFD's own texts in the game data file beside the page titles: the
// enlarged view's range line (504) and the bezel labels that are no page
// title (0x34A, 0x34B, 0x351, 0x359).
#include "mkdata.h"

std::vector<MkGameText> mkdata_MfdLabelTexts(void) {
    return {
        {504, "MFD_RANGE", "RNG %fp"},
        {0x34A, "MFD_DECLUTTER", "DCLT"},
        {0x34B, "MFD_MODE", "MODE"},
        {0x351, "MFD_MAP", "MAP"},
        {0x359, "MFD_SYSTEMS", "SYS"},
    };
}
