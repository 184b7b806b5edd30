// The RIC interpreter: runs a document on the NXT display the way the brick
// would for a set of parameter values.
//
// Each function takes the element list and the parameter set it reads (a
// document's ElementList and ParameterSet). Rendering changes nothing but the
// display.
//
// Positions are indexes into the element list. Where a position may be -1,
// it stands for the selected element's position, which the caller passes as
// `selectedIndex` (the editor owns the selection).
#pragma once

#include <cstdint>
#include <vector>

#include "DrawCommandRenderer.h"
#include "NXTDisplay.h"
#include "ParameterSet.h"
#include "RICArgument.h"
#include "RICElement.h"

namespace tavlin {

// The value of argument word `word` for an element at `position`: a constant,
// a parameter's value (a value that is itself a mapped reference is evaluated
// once more through its VarMap), or a parameter's value passed through the
// last VarMap with the word's map id before the element (0 when there is
// none). Between two points of a map the value is interpolated linearly and
// truncated toward the earlier point's range.
std::uint16_t ArgumentValue(RICArgument word, int position, const RICElementList& list,
                            const TParameterSet& parameters, int selectedIndex = -1);

// The value of a VarMap at input a (the map must hold at least one point;
// an empty one gives 0).
std::uint16_t EvaluateVarMap(const TRICElement& varMap, std::uint16_t a);

// The last VarMap with this id among the elements before `position`, or null.
const TRICElement* FindVarMap(std::uint16_t id, int position, const RICElementList& list,
                              int selectedIndex = -1);

// The Sprite with this id that the elements before `position` define, or
// null. Sprites and VarMaps share one id space: a later VarMap with the same
// id hides an earlier Sprite. The copy-bits page passes the selected
// element's position.
const TRICElement* FindSprite(std::uint16_t id, int position, const RICElementList& list);

// The drawing elements of the list with their arguments evaluated at their
// places and their CopyBits' sprites found, in list order (a CopyBits
// without a sprite draws nothing and is left out; a Polygon gives one Line
// per edge): what RenderDocument draws.
void EvaluateDocument(const RICElementList& list, const TParameterSet& parameters,
                      std::vector<DrawCommand>& commands);

// Clears the display and draws every element in list order, shifted by
// (dx, dy).
void RenderDocument(NXTDisplay& display, int dx, int dy, const RICElementList& list,
                    const TParameterSet& parameters);

// Draws one element over what the display holds, shifted by (dx, dy), with
// its arguments evaluated as they would be at `position` in the list (-1:
// the selected element's position). A CopyBits takes its sprite from the
// elements before its own place in the list. The element pages clear the
// display first and pass -1.
void RenderElement(NXTDisplay& display, const TRICElement& element, int dx, int dy, int position,
                   const RICElementList& list, const TParameterSet& parameters,
                   int selectedIndex = -1);

}  // namespace tavlin
