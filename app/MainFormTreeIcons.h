// The pictures of the scene tree's nodes, drawn in code.
#pragma once

#include <QIcon>

#include <vector>

// Thirteen small pictures, one per node kind (the node's image index):
// scene, sprite, background, picture frame, text frame, motion, appearance,
// an unused one, rectangle, ellipse, line, opacity and shadow.
std::vector<QIcon> TreeNodeIcons();
