// The sprite and frame stream records belong to the project file code, which
// replaces this file; until then writing or reading them raises.
#include "platform/Streams.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

void TSprite::SaveToStream(TStream&) { throw EWriteError("The sprite record cannot be written yet"); }
void TSprite::LoadFromStream(TStream&) { throw EReadError("The sprite record cannot be read yet"); }
void TFrame::SaveToStream(TStream&) { throw EWriteError("The frame record cannot be written yet"); }
void TFrame::LoadFromStream(TStream&, bool) { throw EReadError("The frame record cannot be read yet"); }
