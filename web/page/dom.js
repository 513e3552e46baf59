// SPDX-License-Identifier: GPL-3.0-or-later
// The page's elements, and the core's lists and pictures made into elements as they are given.

export const $ = (id) => document.getElementById(id);

// The core's table rows: a label, then either one value or several cells.
export function rowsInto(table, rows) {
  const body = table.tBodies[0];
  body.replaceChildren(...rows.map((row) => {
    const tr = document.createElement("tr");
    const th = document.createElement("th");
    th.scope = "row";
    th.textContent = row.label;
    tr.append(th);
    for (const cell of row.cells || [row.value]) {
      const td = document.createElement("td");
      td.textContent = cell;
      tr.append(td);
    }
    return tr;
  }));
}

export function paragraphs(element, sentences) {
  element.replaceChildren(...sentences.map((sentence) => {
    const p = document.createElement("p");
    p.textContent = sentence;
    return p;
  }));
}

export function listItems(element, lines) {
  element.replaceChildren(...lines.map((line) => {
    const li = document.createElement("li");
    li.textContent = line;
    return li;
  }));
}

// The core's SVG text as an element of the page, or null where it is not a picture.
export function svgElement(text) {
  const parsed = new DOMParser().parseFromString(text, "image/svg+xml");
  const svg = parsed.documentElement;
  if (svg.nodeName !== "svg") {
    return null;
  }
  return document.importNode(svg, true);
}
