#include "EditorKinds.h"

namespace tavlin {

namespace {

constexpr FieldView kPixel[] = {{"Copy Opt", 4095}, {"Pos X", 4095}, {"Pos Y", 4095}};
constexpr FieldView kLine[] = {
    {"Copy Opt", 4095}, {"Start X", 4095}, {"Start Y", 4095}, {"End X", 4095}, {"End Y", 4095}};
constexpr FieldView kRectangle[] = {
    {"Copy Opt", 4095}, {"Pos X", 99}, {"Pos Y", 63}, {"Width", 100}, {"Height", 64}};
constexpr FieldView kCircle[] = {
    {"Copy Opt", 4095}, {"Pos X", 4095}, {"Pos Y", 4095}, {"Radius", 4095}};
constexpr FieldView kNumBox[] = {
    {"Copy Opt", 4095}, {"Pos X", 4095}, {"Pos Y", 4095}, {"Value", 4095}};
constexpr FieldView kEllipse[] = {
    {"Copy Opt", 4095}, {"Pos X", 4095}, {"Pos Y", 4095}, {"Radius X", 4095}, {"Radius Y", 4095}};

using K = RICElementKind;
using P = PageType;

// Indexed by opcode.
const EditorKindRow kRows[kElementKindCount] = {
    {K::Description, P::Information},
    {K::Sprite, P::Sprite},
    {K::VarMap, P::VarMap},
    {K::CopyBits, P::CopyBits},
    {K::Pixel, P::Shape, kPixel, Placement::Point, true},
    {K::Line, P::Shape, kLine, Placement::Ends},
    {K::Rectangle, P::Shape, kRectangle, Placement::Corners},
    {K::Circle, P::Shape, kCircle, Placement::Radius},
    {K::NumBox, P::Shape, kNumBox, Placement::Point},
    {K::Ellipse, P::Shape, kEllipse, Placement::Radii},
    {K::Polygon, P::Polygon},
};

}  // namespace

const EditorKindRow& EditorKind(RICElementKind kind) {
  return std::size_t(kind) < std::size(kRows) ? kRows[std::size_t(kind)] : kRows[0];
}

}  // namespace tavlin
