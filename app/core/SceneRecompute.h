// The full recompute of a scene's current step after a model change (the
// main window's handler of message 1002): every path prepared again, the
// background composed first and then the sprites over it, without advancing.
#pragma once

class TAnimatedScene;

void RecomputeCurrentStep(TAnimatedScene& scene);
