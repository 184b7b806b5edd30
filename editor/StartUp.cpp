#include "StartUp.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <filesystem>

#include "CopyBitsPage.h"
#include "FileIO.h"
#include "ParameterSet.h"
#include "RICElement.h"

namespace tavlin {

std::string StartDocumentUnit() {
  MaxParameterIndex = 15;
  ParameterFileName = DefaultParameterFilePath();
  // Earlier versions kept the values in the working folder: they are read from
  // there until the default file exists, and closing saves them to the default file.
  std::string source = ParameterFileName;
  if (!FileExists(source) && FileExists(kDefaultParameterFileName))
    source = std::filesystem::absolute(kDefaultParameterFileName);
  std::string error;
  try {
    ReadParameterFile(source);
  } catch (const TavlinError& e) {
    error = e.what();
  }
  InitUndefinedSprite(kGrey);
  ClearElements();
  return error;
}

void PaintUndefinedSprite() {
  QColor face = QApplication::palette().color(QPalette::Button);
  InitUndefinedSprite(Rgb(face.rgb() & 0xFFFFFF));
  PaintSpriteNotice(UndefinedSprite, "Sprite not defined!",
                    {"Add a sprite element", "before this CopyBits", "element."}, face);
}

}  // namespace tavlin
