#include "ArgumentFields.h"

namespace tavlin {

namespace {

using E = TRICElement;

constexpr ArgumentField kDescription[] = {
    {"Options", &E::Options}, {"Width", &E::Width}, {"Height", &E::Height}};
constexpr ArgumentField kIdOnly[] = {{"ID", &E::ID}};
constexpr ArgumentField kCopyBits[] = {
    {"CopyOpt", &E::CopyOpt}, {"SpriteID", &E::SpriteID}, {"PosX", &E::PosX}, {"PosY", &E::PosY},
    {"Width", &E::Width},     {"Height", &E::Height},     {"RelX", &E::RelX}, {"RelY", &E::RelY}};
constexpr ArgumentField kPixel[] = {
    {"CopyOpt", &E::CopyOpt}, {"PosX", &E::PosX}, {"PosY", &E::PosY}};
constexpr ArgumentField kLine[] = {
    {"CopyOpt", &E::CopyOpt}, {"X1", &E::X1}, {"Y1", &E::Y1}, {"X2", &E::X2}, {"Y2", &E::Y2}};
constexpr ArgumentField kRectangle[] = {{"CopyOpt", &E::CopyOpt},
                                        {"PosX", &E::PosX},
                                        {"PosY", &E::PosY},
                                        {"Width", &E::Width},
                                        {"Height", &E::Height}};
constexpr ArgumentField kCircle[] = {
    {"CopyOpt", &E::CopyOpt}, {"PosX", &E::PosX}, {"PosY", &E::PosY}, {"Radius", &E::Radius}};
constexpr ArgumentField kNumBox[] = {
    {"CopyOpt", &E::CopyOpt}, {"PosX", &E::PosX}, {"PosY", &E::PosY}, {"Value", &E::Value}};

constexpr ArgumentField kEllipse[] = {{"CopyOpt", &E::CopyOpt},
                                      {"PosX", &E::PosX},
                                      {"PosY", &E::PosY},
                                      {"RadiusX", &E::RadiusX},
                                      {"RadiusY", &E::RadiusY}};
constexpr ArgumentField kPolygon[] = {{"CopyOpt", &E::CopyOpt}};

}  // namespace

std::span<const ArgumentField> ArgumentFields(RICElementKind kind) {
  switch (kind) {
    case RICElementKind::Description:
      return kDescription;
    case RICElementKind::Sprite:
    case RICElementKind::VarMap:
      return kIdOnly;
    case RICElementKind::CopyBits:
      return kCopyBits;
    case RICElementKind::Pixel:
      return kPixel;
    case RICElementKind::Line:
      return kLine;
    case RICElementKind::Rectangle:
      return kRectangle;
    case RICElementKind::Circle:
      return kCircle;
    case RICElementKind::NumBox:
      return kNumBox;
    case RICElementKind::Ellipse:
      return kEllipse;
    case RICElementKind::Polygon:
      return kPolygon;
  }
  return {};
}

}  // namespace tavlin
