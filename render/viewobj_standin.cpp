// Stand-in until the view modes land: the view follows no object.
#include "render/viewobj.h"

ObjectRecord* ViewedObject = nullptr;
