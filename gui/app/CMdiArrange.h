#pragma once

class QMdiArea;

// The Window menu's arrangements that QMdiArea does not offer itself.
namespace CMdiArrange {

// Windows one above the other, each as wide as the area.
void TileHorizontal(QMdiArea* pArea);
// Windows side by side, each as high as the area.
void TileVertical(QMdiArea* pArea);
// Minimised windows in a row along the bottom edge.
void ArrangeIcons(QMdiArea* pArea);

}  // namespace CMdiArrange
