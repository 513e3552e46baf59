// SPDX-License-Identifier: GPL-3.0-or-later
// The SWR plot is the core's own SVG; the read-out under the pointer shows, for each curve, the
// core's words for its point nearest the pointer's frequency.
import { $, svgElement } from "./dom.js";

export function showPlot(report) {
  const figure = $("swr-plot");
  $("plot-readout").textContent = "";
  if (!report.plotSvg) {
    figure.replaceChildren();
    figure.hidden = true;
    return;
  }
  figure.hidden = false;
  const svg = svgElement(report.plotSvg);
  figure.replaceChildren(svg);
  const first = svg.querySelector("polyline");
  const curves = report.plotCurves || [];
  if (!first || curves.length === 0 || curves[0].points.length < 2) {
    return;
  }
  // The first curve's first and last points are its first and last vertices: they fix the
  // frequency scale of the picture.
  const vertices = first.getAttribute("points").trim().split(/\s+/).map((p) => Number(p.split(",")[0]));
  const points = curves[0].points;
  const x0 = vertices[0];
  const x1 = vertices[vertices.length - 1];
  const f0 = points[0].mhz;
  const f1 = points[points.length - 1].mhz;
  const cursor = addCursor(svg);
  const readAt = (x) => {
    const mhz = f0 + (x - x0) / (x1 - x0) * (f1 - f0);
    cursor.setAttribute("x1", String(x));
    cursor.setAttribute("x2", String(x));
    cursor.setAttribute("visibility", "visible");
    $("plot-readout").textContent = curves.map((curve) => nearest(curve.points, mhz).text).join("; ");
  };
  const fromEvent = (event) => {
    const box = svg.getBoundingClientRect();
    const view = svg.viewBox.baseVal;
    const x = view.x + (event.clientX - box.left) / box.width * view.width;
    return Math.min(Math.max(x, Math.min(x0, x1)), Math.max(x0, x1));
  };
  svg.addEventListener("pointermove", (event) => readAt(fromEvent(event)));
  svg.addEventListener("pointerdown", (event) => readAt(fromEvent(event)));
  // From the keyboard: the arrows step the read-out along the curve.
  let keyX = (x0 + x1) / 2;
  figure.onkeydown = (event) => {
    if (event.key !== "ArrowLeft" && event.key !== "ArrowRight") {
      return;
    }
    event.preventDefault();
    keyX += (event.key === "ArrowRight" ? 1 : -1) * (x1 - x0) / 100;
    keyX = Math.min(Math.max(keyX, x0), x1);
    readAt(keyX);
  };
}

// The line that marks the read-out's frequency, hidden until the pointer or a key moves it.
function addCursor(svg) {
  const cursor = document.createElementNS("http://www.w3.org/2000/svg", "line");
  cursor.setAttribute("class", "cursor");
  cursor.setAttribute("y1", "50");
  cursor.setAttribute("y2", "440");
  cursor.setAttribute("visibility", "hidden");
  svg.append(cursor);
  return cursor;
}

// The curve's point nearest the frequency; the first of two as near.
function nearest(points, mhz) {
  let best = points[0];
  for (const point of points) {
    if (Math.abs(point.mhz - mhz) < Math.abs(best.mhz - mhz)) {
      best = point;
    }
  }
  return best;
}
