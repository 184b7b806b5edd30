#include "VarMapPoints.h"

namespace tavlin {

std::uint16_t MapThroughPoints(const std::vector<VarMapPoint>& points, std::uint16_t a) {
  if (points.empty()) return 0;
  if (a <= points.front().Domain) return points.front().Range;
  // The previous point always has a domain at most a and the next one above
  // it, so every divisor is positive. Integer division truncates toward zero
  // like the floating-point quotient it stands for (which is exact to well
  // within one unit at these magnitudes).
  const VarMapPoint* previous = &points.front();
  for (std::size_t i = 1; i < points.size(); ++i) {
    const VarMapPoint& p = points[i];
    if (p.Domain > a) {
      const long long product =
          ((long long)a - previous->Domain) * ((long long)p.Range - previous->Range);
      return std::uint16_t(previous->Range + product / ((long long)p.Domain - previous->Domain));
    }
    previous = &p;
  }
  return points.back().Range;
}

void PutVarMapPoint(std::vector<VarMapPoint>& points, std::uint16_t domain, std::uint16_t range) {
  bool found = false;
  std::size_t insertAt = points.size();
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (points[i].Domain == domain) {
      points[i].Range = range;
      found = true;
    } else if (points[i].Domain > domain && insertAt == points.size()) {
      insertAt = i;
    }
  }
  if (!found) points.insert(points.begin() + std::ptrdiff_t(insertAt), VarMapPoint{domain, range});
}

bool RemoveVarMapPoint(std::vector<VarMapPoint>& points, std::uint16_t domain,
                       std::uint16_t range) {
  const VarMapPoint wanted{domain, range};
  for (std::size_t i = points.size(); i-- > 0;) {
    if (points[i] != wanted) continue;
    if (points.size() < 3)
      points[i].Range = 0;
    else
      points.erase(points.begin() + std::ptrdiff_t(i));
    return true;
  }
  return false;
}

std::vector<VarMapPoint> OptimizeVarMapPoints(const std::vector<VarMapPoint>& points) {
  // The interpreter walks the points in list order and interpolates between
  // a point and the one before it in the list, sorted or not. A point goes
  // only where that walk gives the same value for every input without it.
  const std::size_t n = points.size();
  if (n < 2) return points;
  std::vector<VarMapPoint> kept{points[0]};
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const VarMapPoint& p = points[i - 1];
    const VarMapPoint& c = points[i];
    const VarMapPoint& q = points[i + 1];
    // Only where the domains rise through the point does the walk always
    // reach q from p; equal domains are steps and a fall is a jump back.
    bool keep = !(p.Domain < c.Domain && c.Domain < q.Domain);
    if (!keep) {
      // The slopes p->c and p->q compared exactly, by cross-multiplying.
      const std::int64_t dc = std::int64_t(c.Domain) - p.Domain,
                         rc = std::int64_t(c.Range) - p.Range;
      const std::int64_t dq = std::int64_t(q.Domain) - p.Domain,
                         rq = std::int64_t(q.Range) - p.Range;
      keep = rc * dq != rq * dc;
    }
    if (keep) kept.push_back(c);
  }
  // A last point level with the one before it adds nothing, in any order:
  // inputs that reach it get that level with or without it.
  const VarMapPoint& last = points[n - 1];
  if (last.Range != kept.back().Range || kept.size() == 1) kept.push_back(last);
  // Without a flat start the second point's domain becomes the map's
  // threshold: inputs up to it give its range. That holds only when the
  // domains do not fall there and the map already gives that range there
  // (not so where the second point begins a step or the walk jumps back).
  if (kept.size() > 2 && kept[0].Range == kept[1].Range && kept[0].Domain <= kept[1].Domain &&
      MapThroughPoints(kept, kept[1].Domain) == kept[1].Range)
    kept.erase(kept.begin());
  return kept;
}

}  // namespace tavlin
