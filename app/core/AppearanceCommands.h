// The model side of the appearance page's Add command.
#pragma once

class TAnimatedScene;
class TSprite;
class TStartAndFinish;

// A new appearance interval of the sprite from the scene's current step (at
// most its last step) to its last step; one "Add Appearance" entry, whose
// Undo removes it.
TStartAndFinish& AddAppearanceFromCurrentStep(TSprite& sprite, const TAnimatedScene& scene);
