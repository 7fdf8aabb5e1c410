// The object the current view follows; its world position anchors the
// leader lines of the 3D markers. Null when the view follows nothing.
#pragma once

struct ObjectRecord;
extern ObjectRecord* ViewedObject;
