// The element makers and constructors, and the placeholder sprite.
#include "RICElement.h"

namespace tavlin {

namespace {
ElementPtr MakeOfKind(RICElementKind kind) {
  auto e = std::make_unique<TRICElement>();
  e->Kind = kind;
  return e;
}
}  // namespace

ElementPtr MakeDescription(std::uint16_t options, std::uint16_t width, std::uint16_t height) {
  auto e = MakeOfKind(RICElementKind::Description);
  e->Options = options;
  e->Width = width;
  e->Height = height;
  return e;
}

ElementPtr MakeSprite(std::uint16_t id) {
  auto e = MakeOfKind(RICElementKind::Sprite);
  e->ID = id;
  e->UsedArea = kUnsetRect;
  e->MarkedArea = kUnsetRect;
  e->ZoomFactor = 6;
  e->Canvas.Fill(kGrey);
  return e;
}

ElementPtr MakeVarMap(std::uint16_t id, std::uint16_t count) {
  auto e = MakeOfKind(RICElementKind::VarMap);
  e->ID = id;
  if (count == 0)
    e->Points = {{0, 0}, {99, 63}};
  else
    e->Points.assign(count, VarMapPoint{0, 0});
  return e;
}

ElementPtr MakeCopyBits(RICArgument copyOpt, RICArgument spriteID, RICArgument posX,
                        RICArgument posY, RICArgument width, RICArgument height, RICArgument relX,
                        RICArgument relY) {
  auto e = MakeOfKind(RICElementKind::CopyBits);
  e->CopyOpt = copyOpt;
  e->SpriteID = spriteID;
  e->PosX = posX;
  e->PosY = posY;
  e->Width = width;
  e->Height = height;
  e->RelX = relX;
  e->RelY = relY;
  return e;
}

ElementPtr MakePixel(RICArgument copyOpt, RICArgument posX, RICArgument posY) {
  auto e = MakeOfKind(RICElementKind::Pixel);
  e->CopyOpt = copyOpt;
  e->PosX = posX;
  e->PosY = posY;
  return e;
}

ElementPtr MakeLine(RICArgument copyOpt, RICArgument x1, RICArgument y1, RICArgument x2,
                    RICArgument y2) {
  auto e = MakeOfKind(RICElementKind::Line);
  e->CopyOpt = copyOpt;
  e->X1 = x1;
  e->Y1 = y1;
  e->X2 = x2;
  e->Y2 = y2;
  return e;
}

ElementPtr MakeRectangle(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument width,
                         RICArgument height) {
  auto e = MakeOfKind(RICElementKind::Rectangle);
  e->CopyOpt = copyOpt;
  e->PosX = posX;
  e->PosY = posY;
  e->Width = width;
  e->Height = height;
  return e;
}

ElementPtr MakeCircle(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument radius) {
  auto e = MakeOfKind(RICElementKind::Circle);
  e->CopyOpt = copyOpt;
  e->PosX = posX;
  e->PosY = posY;
  e->Radius = radius;
  return e;
}

ElementPtr MakeNumBox(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument value) {
  auto e = MakeOfKind(RICElementKind::NumBox);
  e->CopyOpt = copyOpt;
  e->PosX = posX;
  e->PosY = posY;
  e->Value = value;
  return e;
}

ElementPtr MakeEllipse(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument radiusX,
                       RICArgument radiusY) {
  auto e = MakeOfKind(RICElementKind::Ellipse);
  e->CopyOpt = copyOpt;
  e->PosX = posX;
  e->PosY = posY;
  e->RadiusX = radiusX;
  e->RadiusY = radiusY;
  return e;
}

ElementPtr MakePolygon(RICArgument copyOpt, std::vector<PolygonPoint> points) {
  auto e = MakeOfKind(RICElementKind::Polygon);
  e->CopyOpt = copyOpt;
  e->PolygonPoints = std::move(points);
  return e;
}

int NewDescription(RICElementList& list, std::uint16_t options, std::uint16_t width,
                   std::uint16_t height) {
  return list.Add(MakeDescription(options, width, height));
}
int NewSprite(RICElementList& list, std::uint16_t id) { return list.Add(MakeSprite(id)); }
int NewVarMap(RICElementList& list, std::uint16_t id, std::uint16_t count) {
  return list.Add(MakeVarMap(id, count));
}
int NewCopyBits(RICElementList& list, RICArgument copyOpt, RICArgument spriteID, RICArgument posX,
                RICArgument posY, RICArgument width, RICArgument height, RICArgument relX,
                RICArgument relY) {
  return list.Add(MakeCopyBits(copyOpt, spriteID, posX, posY, width, height, relX, relY));
}
int NewPixel(RICElementList& list, RICArgument copyOpt, RICArgument posX, RICArgument posY) {
  return list.Add(MakePixel(copyOpt, posX, posY));
}
int NewLine(RICElementList& list, RICArgument copyOpt, RICArgument x1, RICArgument y1,
            RICArgument x2, RICArgument y2) {
  return list.Add(MakeLine(copyOpt, x1, y1, x2, y2));
}
int NewRectangle(RICElementList& list, RICArgument copyOpt, RICArgument posX, RICArgument posY,
                 RICArgument width, RICArgument height) {
  return list.Add(MakeRectangle(copyOpt, posX, posY, width, height));
}
int NewCircle(RICElementList& list, RICArgument copyOpt, RICArgument posX, RICArgument posY,
              RICArgument radius) {
  return list.Add(MakeCircle(copyOpt, posX, posY, radius));
}
int NewNumBox(RICElementList& list, RICArgument copyOpt, RICArgument posX, RICArgument posY,
              RICArgument value) {
  return list.Add(MakeNumBox(copyOpt, posX, posY, value));
}

int NewEllipse(RICElementList& list, RICArgument copyOpt, RICArgument posX, RICArgument posY,
               RICArgument radiusX, RICArgument radiusY) {
  return list.Add(MakeEllipse(copyOpt, posX, posY, radiusX, radiusY));
}
int NewPolygon(RICElementList& list, RICArgument copyOpt, std::vector<PolygonPoint> points) {
  return list.Add(MakePolygon(copyOpt, std::move(points)));
}

TRICElement MakeUndefinedSprite(Rgb buttonFace) {
  TRICElement sprite;
  sprite.Kind = RICElementKind::Sprite;
  sprite.ID = 0;
  sprite.UsedArea = TRect{0, 448, 99, 511};
  sprite.MarkedArea = kUnsetRect;
  sprite.ZoomFactor = 4;
  sprite.Canvas.Fill(buttonFace);
  return sprite;
}

}  // namespace tavlin
