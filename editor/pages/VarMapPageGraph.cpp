// The VarMap page's graph and its labels, the mouse conversion, and the
// clipboard's numbers.
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <functional>

#include "EditorHost.h"
#include "NxtImage.h"
#include "RICInterpreter.h"
#include "VarMapPage.h"

namespace tavlin {

std::vector<std::uint16_t> ReadClipboardNumbers(const QString& text) {
  std::vector<std::uint16_t> numbers;
  int value = -1;  // -1 while outside a number
  for (QChar ch : text) {
    const char16_t u = ch.unicode();
    if (u >= u'0' && u <= u'9') {
      value = std::min(65535, std::max(value, 0) * 10 + int(u - u'0'));
    } else if (value >= 0) {
      numbers.push_back(std::uint16_t(value));
      value = -1;
    }
  }
  if (value >= 0) numbers.push_back(std::uint16_t(value));
  return numbers;
}

namespace {

struct GraphLabel {
  QString Text;
  QRect Box;
  bool Marked;
};

// Draws the labels in the order given, leaving out any that would touch one
// already drawn (a map with many points has more labels than room), and
// returns the boxes drawn. The caller puts the labels that matter most first.
std::vector<QRect> DrawSeparateLabels(QPainter& p, const QFontMetrics& metrics,
                                      const std::vector<GraphLabel>& labels) {
  std::vector<QRect> drawn;
  for (const GraphLabel& label : labels) {
    const QRect spaced = label.Box.adjusted(-2, 0, 2, 0);
    if (std::any_of(drawn.begin(), drawn.end(),
                    [&](const QRect& r) { return r.intersects(spaced); }))
      continue;
    p.setPen(label.Marked ? QColor(255, 0, 0) : QColor(0, 0, 0));
    p.drawText(label.Box.left(), label.Box.top() + metrics.ascent(), label.Text);
    drawn.push_back(label.Box);
  }
  return drawn;
}

// The points' indices with the marked ones first, then the first and the
// last point, then the others in list order.
std::vector<std::size_t> LabelOrder(const std::vector<VarMapPoint>& points,
                                    const std::function<bool(const VarMapPoint&)>& marked) {
  std::vector<std::size_t> order;
  const std::size_t n = points.size();
  for (std::size_t i = 0; i < n; ++i)
    if (marked(points[i])) order.push_back(i);
  auto add = [&order](std::size_t i) {
    if (std::find(order.begin(), order.end(), i) == order.end()) order.push_back(i);
  };
  if (n > 0) {
    add(0);
    add(n - 1);
  }
  for (std::size_t i = 0; i < n; ++i) add(i);
  return order;
}

}  // namespace

int TVarMapPage::GraphY(int range) const {
  // bottom - trunc(range * span / divisor), computed exactly in integers; 370
  // and 360 on the graph's default height of 385.
  const int h = Image_VarMap->height();
  return (h - 15) - int(std::int64_t(range) * (h - 25) / scaleDivisor_);
}

void TVarMapPage::GraphToPoint(int x, int y, int& domain, int& range) const {
  domain = std::clamp((x - 20) / 2, 0, kMaxDomain);
  // (bottom - y) / scale, with scale = span / divisor, rounded up: the
  // smallest range drawn at row y, so that pointing at a drawn point hits its range.
  const int h = Image_VarMap->height();
  const std::int64_t scaled = std::int64_t((h - 15) - y) * scaleDivisor_;
  const std::int64_t r = scaled > 0 ? (scaled + (h - 26)) / (h - 25) : 0;
  range = int(std::clamp<std::int64_t>(r, 0, 65535));
}

void TVarMapPage::SetScaleFor(const std::vector<VarMapPoint>& points) {
  int largest = 10;
  for (const VarMapPoint& p : points) largest = std::max(largest, int(p.Range));
  scaleDivisor_ = largest;
}

void TVarMapPage::DrawVarMapGraph(int markDomain, int markRange) {
  static const std::vector<VarMapPoint> kNone;
  const TRICElement* m = Map();
  const std::vector<VarMapPoint>& points = m ? m->Points : kNone;
  SetScaleFor(points);

  QImage& image = Image_VarMap->Picture();
  const int w = image.width(), h = image.height();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(image.rect(), Qt::white);
  p.setPen(QPen(Qt::black, 0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(0, 0, w - 1, h - 1);

  // Drop lines from the bottom up to each point and across to the left edge.
  p.setPen(QPen(QColor(128, 128, 128), 0));
  for (const VarMapPoint& pt : points) {
    const int x = GraphX(pt.Domain), y = GraphY(pt.Range);
    p.drawLine(x, h - 1, x, y);
    p.drawLine(x, y, 1, y);
  }

  if (markDomain != -1) {
    const int mx = GraphX(markDomain), my = GraphY(markRange);
    p.setPen(QPen(Qt::black, 0, Qt::DotLine));
    p.drawLine(1, my, w - 1, my);
    p.drawLine(mx, 1, mx, h - 1);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::white);
    for (const VarMapPoint& pt : points) {
      if (pt.Domain != markDomain || pt.Range != markRange) continue;
      const int x = GraphX(pt.Domain), y = GraphY(pt.Range);
      p.drawEllipse(QRect(x - 5, y - 5, 10, 10));
    }
    p.setBrush(Qt::NoBrush);
  }

  // The map, flat before its first and after its last point.
  if (!points.empty()) {
    QPolygon line;
    line << QPoint(0, GraphY(points.front().Range));
    for (const VarMapPoint& pt : points) line << QPoint(GraphX(pt.Domain), GraphY(pt.Range));
    line << QPoint(w - 1, GraphY(points.back().Range));
    p.setPen(QPen(QColor(255, 0, 0), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(line);
  }

  p.setPen(QPen(Qt::black, 0));
  p.drawRect(0, 0, w - 1, h - 1);
  p.end();
  Image_VarMap->update();

  DrawDomainLabels(points, markDomain);
  DrawRangeLabels(points, markRange);
}

void TVarMapPage::DrawDomainLabels(const std::vector<VarMapPoint>& points, int markDomain) {
  QImage& image = Image_VarMap_Domain->Picture();
  QPainter p(&image);
  p.fillRect(image.rect(), palette().color(QPalette::Button));
  p.setFont(font());
  const QFontMetrics metrics(font());
  std::vector<GraphLabel> labels;
  for (std::size_t i : LabelOrder(
           points, [markDomain](const VarMapPoint& pt) { return pt.Domain == markDomain; })) {
    const VarMapPoint& pt = points[i];
    const QString text = QString::number(pt.Domain);
    const int width = metrics.horizontalAdvance(text);
    const bool marked = pt.Domain == markDomain;
    labels.push_back(
        {text, QRect(GraphX(pt.Domain) - width / 2, marked ? 14 : 0, width, metrics.height()),
         marked});
  }
  domainLabelBoxes_ = DrawSeparateLabels(p, metrics, labels);
  p.end();
  Image_VarMap_Domain->update();
}

void TVarMapPage::DrawRangeLabels(const std::vector<VarMapPoint>& points, int markRange) {
  QImage& image = Image_VarMap_Range->Picture();
  QPainter p(&image);
  p.fillRect(image.rect(), palette().color(QPalette::Button));
  p.setFont(font());
  const QFontMetrics metrics(font());
  std::vector<GraphLabel> labels;
  for (std::size_t i :
       LabelOrder(points, [markRange](const VarMapPoint& pt) { return pt.Range == markRange; })) {
    const VarMapPoint& pt = points[i];
    const QString text = QString::number(pt.Range);
    const bool marked = pt.Range == markRange;
    const int right = marked ? 30 : 50;
    const int width = metrics.horizontalAdvance(text);
    labels.push_back(
        {text, QRect(right - width, GraphY(pt.Range) - 6, width, metrics.height()), marked});
  }
  rangeLabelBoxes_ = DrawSeparateLabels(p, metrics, labels);
  p.end();
  Image_VarMap_Range->update();
}

}  // namespace tavlin
