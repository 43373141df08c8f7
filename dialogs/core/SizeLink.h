// The pixel and per-cent size link of the export wizard's size page, the
// animation size dialog and the resize dialog: a width (or height) in pixels
// and the same size in per cent of a base (the scene's or the picture's
// size) follow each other. All roundings go to the nearest integer, halves
// to even.
#pragma once

// After the pixels changed: the per cent that goes with them (unchanged when
// the per cent already gives these pixels). Base is the width or the height.
int PercentAfterPixelsChange(int pixels, int percent, int base);
// After the per cent changed: the pixels that go with it (unchanged when the
// pixels already give this per cent); 100 per cent is exactly the base.
int PixelsAfterPercentChange(int pixels, int percent, int base);
