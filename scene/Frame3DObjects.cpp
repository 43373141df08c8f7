// The 3D objects of frames. The 3D rendering code replaces this file with
// the view, camera, lights, material, texture and text object of a frame;
// until then frames have none and keep showing their pictures.
#include "scene/Text3DFrame.h"

struct TFrame3DObjects {};

void TFrame3DObjectsDeleter::operator()(TFrame3DObjects* objects) const { delete objects; }

TFrame3DObjectsPtr CreateFrame3DObjects(TFrame&, TAnimatedScene*) { return nullptr; }

bool RenderFrame3DSubFrame(TFrame&, TFrame3DObjects&, double) { return false; }

void RebuildFrame3DText(TFrame&, TFrame3DObjects&) {}

bool Frame3DRenderingAvailable() { return true; }
