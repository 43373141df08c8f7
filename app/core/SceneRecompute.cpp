#include "app/core/SceneRecompute.h"

#include "scene/Moving.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

void RecomputeCurrentStep(TAnimatedScene& scene) {
  scene.BackgroundDrawn = 0;
  for (int i = 0; i < scene.SpriteCount(); ++i) scene.Sprite(i).Motion().PrepareSteps(&scene.Sprite(i));
  const std::uint8_t resampled = scene.ResampledStretching;
  const std::uint8_t skipping = scene.SkipPainting;
  // The flags come back whatever a composition raises.
  struct Restore {
    TAnimatedScene& scene;
    std::uint8_t resampled;
    ~Restore() {
      scene.ResampledStretching = resampled;
      scene.SkipPainting = 0;
    }
  } restore{scene, resampled};
  // First the background alone (frames draw nothing while painting is skipped) ...
  scene.ResampledStretching = 0;
  scene.SkipPainting = 1;
  scene.RepaintOnly = 1;
  scene.NextFrame();
  // ... then the sprites over it, with the flags as they were.
  scene.BackgroundDrawn = 0;
  scene.ResampledStretching = resampled;
  scene.SkipPainting = skipping;
  scene.RepaintOnly = 1;
  scene.NextFrame();
}
