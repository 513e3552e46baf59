// SPDX-License-Identifier: GPL-3.0-or-later
// The SWR plot is the core's own SVG, in two layouts: the report's, and a compact one with larger
// type for a phone's screen and the printed sheet (the style sheet shows one of them). The
// read-out under the pointer shows, for each curve, the core's words for its point nearest the
// pointer's frequency.
import { $, svgElement } from "./dom.js";

export function showPlot(report) {
  const figure = $("swr-plot");
  $("plot-readout").textContent = "";
  figure.onkeydown = null;
  if (!report.plotSvg) {
    figure.replaceChildren();
    figure.hidden = true;
    return;
  }
  figure.hidden = false;
  const pictures = [[report.plotSvg, "plot-wide"], [report.plotSvgCompact, "plot-compact"]]
    .filter(([text]) => text)
    .map(([text, name]) => {
      const svg = svgElement(text);
      svg.classList.add(name);
      return svg;
    });
  figure.replaceChildren(...pictures);
  const curves = report.plotCurves || [];
  if (curves.length === 0 || curves[0].points.length < 2) {
    return;
  }
  const readers = pictures.map((svg) => readOut(svg, curves)).filter((reader) => reader);
  // From the keyboard: the arrows step the read-out along the curve of the picture shown.
  let share = 0.5;
  figure.onkeydown = (event) => {
    if (event.key !== "ArrowLeft" && event.key !== "ArrowRight") {
      return;
    }
    event.preventDefault();
    share = Math.min(Math.max(share + (event.key === "ArrowRight" ? 0.01 : -0.01), 0), 1);
    const shown = readers.find((reader) => reader.svg.getBoundingClientRect().width > 0);
    (shown || readers[0])?.readAtShare(share);
  };
}

// The pointer's read-out on one picture: its frequency scale from the first curve's first and
// last vertices, which are the curve's first and last points.
function readOut(svg, curves) {
  const first = svg.querySelector("polyline");
  if (!first) {
    return null;
  }
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
  return { svg, readAtShare: (share) => readAt(x0 + share * (x1 - x0)) };
}

// The line that marks the read-out's frequency across the picture's frame, hidden until the
// pointer or a key moves it.
function addCursor(svg) {
  const frame = svg.querySelector("rect.frame");
  const top = frame ? Number(frame.getAttribute("y")) : 0;
  const height = frame ? Number(frame.getAttribute("height")) : svg.viewBox.baseVal.height;
  const cursor = document.createElementNS("http://www.w3.org/2000/svg", "line");
  cursor.setAttribute("class", "cursor");
  cursor.setAttribute("y1", String(top));
  cursor.setAttribute("y2", String(top + height));
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
