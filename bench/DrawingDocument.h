// The benchmarks' largest document of drawing elements, built in memory.
#pragma once

#include "RICElement.h"

namespace tavlin::bench {

// 18,722 Lines and Rectangles of 14 bytes and three 12-byte elements fill
// the 262,144-byte buffer exactly.
inline RICElementList DrawingDocument() {
  RICElementList list;
  for (int i = 0; i < 18722; ++i) {
    RICArgument x = RICArgument(i % 100), y = RICArgument(i % 64);
    if (i % 2)
      list.Add(MakeLine(0, x, y, RICArgument(99 - x), RICArgument(63 - y)));
    else
      list.Add(MakeRectangle(0, x, y, 0xF001, 0xF102));
  }
  list.Add(MakeCircle(0, 50, 32, 10));
  list.Add(MakeNumBox(0, 0, 0, 0xF000));
  list.Add(MakePixel(0, 1, 1));
  return list;
}

}  // namespace tavlin::bench
