#include "app/core/AppearanceCommands.h"

#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"

#include <algorithm>

TStartAndFinish& AddAppearanceFromCurrentStep(TSprite& sprite, const TAnimatedScene& scene) {
  TStartAndFinish* interval = sprite.AddAppearance();
  // One entry for the whole addition.
  const TUndoRecordingPause pause;
  interval->SetEnd(scene.StepCount);
  interval->SetStart(std::min(scene.CurrentStep, scene.StepCount));
  return *interval;
}
